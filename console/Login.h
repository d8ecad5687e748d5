#pragma once
// Opening a console session (at "Login:" or by "su" on a console that is still open)
// and the controller's "passwd" dialogue, with the texts of the session slots. Both
// make up to four attempts and leave their outcome in the pending notice. Logging out
// sends nothing: the worker closes the port. Worker thread only.

bool Login();
bool ChangePassword();
