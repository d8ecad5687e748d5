#pragma once
// Seven wide text slots shared by the dialogs and the worker: 0 info line, 1 user
// name, 2 password, 3 COM port name, 4 ... 6 the password-change texts. One mutex;
// slots 1, 2, 4, 5 and 6 keep at most 8 characters, the others 99.
constexpr int kSessionTextCount = 7;
constexpr int kSessionTextSize = 100;

enum SessionSlot : int {
    SlotInfoLine = 0,
    SlotUserName = 1,
    SlotPassword = 2,
    SlotPortName = 3,
    SlotCurrentPassword = 4,
    SlotNewPassword = 5,
    SlotNewPasswordAgain = 6,
};

extern const char16_t kDefaultUserName[];
extern const char16_t kDefaultPassword[];

bool SetSessionText(int slot, const char16_t* text);
// The current ConsoleLine, widened byte for byte.
bool SetSessionTextFromLine(int slot);
// String-table entry `id`.
bool SetSessionTextFromString(int slot, unsigned id);

// Copies a slot into a 100-character buffer; false and an empty text for a slot
// outside 0 ... 6.
bool GetSessionText(int slot, char16_t* out);
// The same, narrowed to single bytes.
bool GetSessionTextNarrow(int slot, char* out);

// What the login and password dialogs may hand over: 0, or the string that refuses it.
// A user name or new password that is empty or blank as the slot keeps it (its first 8
// characters) is refused: the console would ask for the name again and take the
// password there in clear, or leave the unit without a password.
unsigned CheckUserName(const char16_t* user);
unsigned CheckNewPassword(const char16_t* fresh);
