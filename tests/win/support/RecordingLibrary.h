#pragma once
// Talks to the recording stand-in publishing library of a test accessory
// folder: sets its answers and reads back the calls it recorded.
#include <string>
#include <vector>

#include "qtvpublish/double/PasswordFingerprint.h"

namespace testing_support {

struct CRecordedCall {
    std::string strFunction;          // "GetBlogIDs" or "PublishToBlogNoGUI"
    std::vector<std::string> fields;  // the arguments, in order, unescaped
};

// How the stand-in's log shows a password that reached it.
inline std::string LoggedPassword(const std::string& password) { return qtvpublish::PasswordFingerprint(password); }

class CRecordingLibrary {
public:
    explicit CRecordingLibrary(std::string accessoryFolder) : m_strFolder(std::move(accessoryFolder)) {}

    // Each answer as "key=value" (see the library's own description).
    void SetAnswers(const std::vector<std::string>& lines) const;
    std::vector<CRecordedCall> Calls() const;
    std::string LibraryPath() const { return m_strFolder + "QTVPublish.dll"; }

private:
    std::string m_strFolder;
};

}  // namespace testing_support
