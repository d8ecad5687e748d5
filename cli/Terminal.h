#pragma once
// Whether a person is watching standard error (progress lines are for people only).
bool ErrorStreamIsTerminal();
