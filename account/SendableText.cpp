#include "account/SendableText.h"

#include <string>

#include "platform/ActivationContext.h"
#include "platform/Module.h"
#include "platform/Text.h"
#include "res/resource.h"

namespace account {

namespace {

std::wstring WideText(HWND hEdit)
{
    const int n = ::GetWindowTextLengthW(hEdit);
    std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(hEdit, &text[0], n + 1)));
    return text;
}

}  // namespace

bool ConfirmSendable(HWND hDlg, std::initializer_list<HWND> edits)
{
    for (HWND hEdit : edits) {
        if (!hEdit || !::IsWindowVisible(hEdit) || platform::FitsCodePage(WideText(hEdit)))
            continue;
        platform::ShowMessageBox(hDlg, platform::CModule::LoadWideString(IDS_LOGIN_NOT_SENDABLE).c_str(),
                      platform::CModule::LoadWideString(IDS_APP_TITLE).c_str(), MB_OK | MB_ICONEXCLAMATION);
        ::SendMessageW(hDlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(hEdit), TRUE);
        return false;
    }
    return true;
}

}  // namespace account
