#pragma once
// Opening a console session (at "Login:" or by "su" on a console that is still open)
// and the controller's "passwd" dialogue, with the texts of the session slots. Both
// make up to four attempts and leave their outcome in the pending notice. Logging out
// sends nothing: the worker closes the port. Worker thread only.

bool Login();
bool ChangePassword();

// How a password change ended, for callers that tell the user more than success.
enum class PasswordChange {
    Changed,
    Refused,      // the controller (or the mismatch) said no; the old password holds
    Unanswered,   // the console fell silent before the unit could take the new password
    Unconfirmed,  // silent after the repeated new password: the unit may already use it
};
// ChangePassword, with that outcome.
PasswordChange RunPasswordChange();
