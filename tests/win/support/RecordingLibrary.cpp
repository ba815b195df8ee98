#include "support/RecordingLibrary.h"

#include "support/TestAccessory.h"

namespace testing_support {

void CRecordingLibrary::SetAnswers(const std::vector<std::string>& lines) const
{
    std::string text;
    for (const auto& line : lines)
        text += line + "\n";
    WriteFileBytes(m_strFolder + "QTVPublish.answers", text);
}

std::vector<CRecordedCall> CRecordingLibrary::Calls() const
{
    std::vector<CRecordedCall> calls;
    const std::string log = ReadFileBytes(m_strFolder + "QTVPublish.log");
    std::size_t pos = 0;
    while (pos < log.size()) {
        std::size_t end = log.find('\n', pos);
        if (end == std::string::npos)
            end = log.size();
        CRecordedCall call;
        std::string field;
        bool first = true;
        auto finish = [&]() {
            if (first)
                call.strFunction = field;
            else
                call.fields.push_back(field);
            first = false;
            field.clear();
        };
        for (std::size_t i = pos; i < end; ++i) {
            const char c = log[i];
            if (c == '\t') {
                finish();
            } else if (c == '\\' && i + 1 < end) {
                const char e = log[++i];
                field += e == 't' ? '\t' : e == 'n' ? '\n' : e == 'r' ? '\r' : e;
            } else {
                field += c;
            }
        }
        finish();
        calls.push_back(std::move(call));
        pos = end + 1;
    }
    return calls;
}

}  // namespace testing_support
