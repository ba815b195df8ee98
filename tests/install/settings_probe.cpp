// Writes or reads the accessory's settings files with the accessory's own
// code, so the install tests can see that the x86 and the x64 build share
// them: a log-in stored (and its password sealed) by one opens in the other.
//   settings_probe.exe write <data folder> <user> <password>
//   settings_probe.exe read <data folder>     prints "always:", "user:", "password:"
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "platform/Text.h"
#include "output/PostContext.h"

int main(int argc, char** argv)
{
    if (argc < 3 || (std::strcmp(argv[1], "write") == 0 && argc < 5)) {
        std::fprintf(stderr, "usage: settings_probe write <folder> <user> <password> | read <folder>\n");
        return 2;
    }
    PostContext context;
    context.m_strDataFolder = platform::WideFromAnsi(argv[2]);
    if (std::strcmp(argv[1], "write") == 0) {
        context.m_strUserName = argv[3];
        context.m_strPassword = argv[4];
        return context.WritePreferences(1) ? 0 : 1;
    }
    int alwaysUse = 0;
    const bool read = context.ReadPreferences(alwaysUse);
    const bool loaded = context.LoadStoredLogin();
    std::printf("always: %d\nuser: %s\npassword: %s\n", alwaysUse, context.m_strUserName.c_str(),
                context.m_strPassword.c_str());
    return read && loaded ? 0 : 1;
}
