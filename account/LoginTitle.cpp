#include "account/LoginTitle.h"

#include "account/BlogType.h"
#include "platform/Module.h"
#include "res/resource.h"

namespace account {

std::string LoginTitle(int nBlogType)
{
    const unsigned labelId = BlogTypeLabelId(nBlogType);
    const std::string label = labelId ? platform::CModule::LoadString(labelId) : std::string();
    return FormatLoginTitle(platform::CModule::LoadString(IDS_LOGIN_TITLE_FORMAT), label);
}

}  // namespace account
