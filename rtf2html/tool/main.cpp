// rtf2html: converts an entry's RTF (a file, or standard input) to the HTML
// that would be posted, and writes it to standard output.
//
//   rtf2html [--no-trim] [--marker TEXT] [--no-close] [--ansi CODEPAGE] [FILE]
//
// By default the input is prepared as a post is: cut at the last "\par" and
// ended with a line feed and "}", so the control's own RTF (such as a saved
// "rtf.rtf") converts exactly as it did when it was posted. Text in fonts of
// other scripts is written in the ANSI code page given (1252 by default), as
// the post of a user with that code page would carry it.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "rtf2html/IconvCodePages.h"
#include "rtf2html/RtfConverter.h"

namespace {

bool ReadAll(std::FILE* file, std::string& text)
{
    char buffer[1 << 16];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, got);
    return !std::ferror(file);
}

// What the post does before converting: the control's final paragraph mark
// and whatever follows it go, and the closing brace ends the body.
std::string TrimFinalParagraph(const std::string& rtf)
{
    const std::size_t last = rtf.size() > 1 ? rtf.rfind("\\par") : std::string::npos;
    const std::string kept = (last == std::string::npos || last == 0) ? std::string() : rtf.substr(0, last);
    return kept + "\n}";
}

int Usage()
{
    std::fputs("usage: rtf2html [--no-trim] [--marker TEXT] [--no-close] [--ansi CODEPAGE] [FILE]\n", stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    bool trim = true;
    bool closeAll = true;
    std::string marker = "\\pard";
    unsigned long ansiCodePage = 1252;
    const char* path = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--no-trim") == 0)
            trim = false;
        else if (std::strcmp(argv[i], "--no-close") == 0)
            closeAll = false;
        else if (std::strcmp(argv[i], "--marker") == 0 && i + 1 < argc)
            marker = argv[++i];
        else if (std::strcmp(argv[i], "--ansi") == 0 && i + 1 < argc)
            ansiCodePage = std::strtoul(argv[++i], nullptr, 10);
        else if (argv[i][0] == '-' && argv[i][1] != '\0')
            return Usage();
        else if (path == nullptr)
            path = argv[i];
        else
            return Usage();
    }
    std::string rtf;
    std::FILE* file = (path == nullptr || std::strcmp(path, "-") == 0) ? stdin : std::fopen(path, "rb");
    if (file == nullptr) {
        std::fprintf(stderr, "rtf2html: cannot open %s\n", path);
        return 1;
    }
    const bool read = ReadAll(file, rtf);
    if (file != stdin)
        std::fclose(file);
    if (!read) {
        std::fputs("rtf2html: read error\n", stderr);
        return 1;
    }
    rtf2html::CIconvCodePages codePages(static_cast<unsigned>(ansiCodePage));
    CRtfConverter converter(&codePages);
    const std::string html = converter.Convert(trim ? TrimFinalParagraph(rtf) : rtf, marker, closeAll);
    std::fwrite(html.data(), 1, html.size(), stdout);
    std::fputc('\n', stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
