#pragma once
// A dialog as the logic below both front ends sees it: controls by their template ids,
// texts in UTF-16. Each front end implements it over its own widgets or windows; the
// logic decides what is shown, enabled and handed to the worker. User interface thread
// only.
#include <cstddef>
#include <string>

class DialogView {
public:
    virtual ~DialogView() = default;
    virtual void EnableControl(int id, bool enable) = 0;
    // An edit's text, or a combo box's typed text.
    virtual void SetControlText(int id, const char16_t* text) = 0;
    // At most capacity - 1 characters, terminated.
    virtual void GetControlText(int id, char16_t* text, std::size_t capacity) = 0;
    // A list's chosen entry; -1 shows none.
    virtual void SetChoice(int id, int index) = 0;
    virtual int GetChoice(int id) = 0;
    virtual void SetChecked(int id, bool checked) = 0;
    virtual bool GetChecked(int id) = 0;
    virtual void FocusControl(int id) = 0;
    // Appends an entry to a list; `tip` (may be empty) says more about it.
    virtual void AddListEntry(int id, const char16_t* text, const char16_t* tip) = 0;
};

// What only a front end can ask the user: the answers decide, the logic acts on them.
class Prompts {
public:
    virtual ~Prompts() = default;
    // A warning box with the program's caption, above the top-most dialog; the window
    // below takes the keyboard back when it is closed.
    virtual void ShowWarning(const char16_t* text) = 0;
    // A question with Yes and No; `yesByDefault` picks the button Enter presses.
    virtual bool AskYesNo(unsigned textId, bool yesByDefault) = 0;
    // The open or save chooser on the shared chooser record (a title of its own when
    // given); the chosen path, in the core's file name encoding, into `path`, and its
    // folder remembered. False when the user cancelled.
    virtual bool ChooseFile(bool save, const char16_t* title, std::string* path) = 0;
};

// What the program remembers between runs. Never a password.
enum class RememberedItem { Port, UserName, Folder };
class Memory {
public:
    virtual ~Memory() = default;
    // Empty when nothing is remembered.
    virtual void Recall(RememberedItem item, char16_t* text, std::size_t capacity) = 0;
    virtual void Remember(RememberedItem item, const char16_t* text) = 0;
};
