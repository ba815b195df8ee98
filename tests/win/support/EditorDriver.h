#pragma once
// The Blog Editor under test: a folder with the recording publishing library
// and its answers, the dialog set up as the send flow sets it up, and the
// readings a test makes of the running dialog (toolbar states, the entry's
// format and RTF).
#include <windows.h>
#include <richedit.h>

#include <functional>
#include <string>
#include <vector>

#include "editor/BlogOutputDlg.h"
#include "support/RecordingLibrary.h"
#include "support/TestAccessory.h"

namespace editor_test {

// "<Blogs>" with one Blog_Object per (id, name, address).
std::string BlogsXml(const std::vector<std::vector<std::string>>& blogs);

class CEditorSetup {
public:
    // The library answers with the given blog list (and further answers).
    explicit CEditorSetup(const std::string& blogsXml, const std::vector<std::string>& moreAnswers = {});
    ~CEditorSetup();

    // Parameters as the send flow gives them, for user "alice".
    void Prepare(CBlogOutputDlg& dlg, const std::string& userName = "alice") const;
    const testing_support::CRecordingLibrary& Library() const { return m_library; }
    const std::string& Folder() const { return m_folder.Path(); }

private:
    testing_support::CTestFolder m_folder{"editor"};
    testing_support::CRecordingLibrary m_library{m_folder.Path()};
    platform::CIcon m_hIcon;
};

// The editor's toolbars, found as the dialog's children in creation order.
HWND FormatBar(HWND hDlg);
HWND ImageBar(HWND hDlg);
bool Pressed(HWND hBar, int nCommand);
bool Enabled(HWND hBar, int nCommand);
// Clicks a toolbar button as the user's mouse does.
void ClickButton(HWND hBar, int nCommand);

HWND Entry(HWND hDlg);
// The entry's selection and its character format, asked from the dialog's
// thread by message.
void Select(HWND hDlg, LONG nStart, LONG nEnd);
CHARFORMAT2A SelectionFormat(HWND hDlg);
std::string EntryText(HWND hDlg);
std::string EntryRtf(HWND hDlg);
std::string SizeBoxText(HWND hDlg);
// The message box open in this process (a dialog with a text of id 0xFFFF);
// null when there is none.
HWND OpenMessageBox();
// Closes the editor with Escape as the user does; when it asks whether to
// discard a written entry, answers Yes. False when it did not close.
bool CloseDiscarding(HWND hDlg);
// Runs the editor over the blog list with the script, then closes whatever
// link dialog is still open (it would block Escape) and the editor itself.
void WithEditor(const std::string& blogsXml, const std::function<void(HWND, CBlogOutputDlg&)>& script);
// Text of the tooltip request the dialog answers, in either form.
std::string AskToolTip(HWND hDlg, UINT_PTR idFrom, bool bWide, bool bIsWindow = false);

}  // namespace editor_test

namespace editor_test {

// Streams RTF into the entry, replacing everything, as if it had been typed
// and formatted.
void SetEntryRtf(HWND hDlg, const std::string& rtf);
// Clicks the entry's character at the position, as the user's mouse does.
void ClickCharacter(HWND hDlg, LONG nPosition);
// The rectangle of a control in the dialog's client area.
RECT ItemRect(HWND hDlg, int id);
// Static texts of the dialog with the given text (the image captions).
HWND StaticWithText(HWND hDlg, const std::string& text);
// Rests the pointer on a toolbar slot until a tooltip with the text shows;
// null when none did.
HWND HoverUntilToolTip(HWND hBar, int nSlot, const std::string& text);

}  // namespace editor_test
