// Converting an entry must stay linear and fast whatever is pasted into the
// editor: editor-style RTF of 10 KB, 1 MB and 10 MB, with the time of two
// general converters (unrtf, pandoc) on the same files for comparison, and
// entries whose text is mostly in other scripts' code pages.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "rtf2html/IconvCodePages.h"
#include "rtf2html/RtfConverter.h"

namespace {

// What the Windows control writes for a varied entry: paragraphs with their
// alignment, sizes, styles, escapes, Unicode, a picture group and links.
std::string EditorRtf(std::size_t size)
{
    std::string rtf =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}}\r\n"
        "{\\*\\generator Msftedit 5.41.21.2510;}\\viewkind4\\uc1";
    const char* const paragraphs[] = {
        "\\pard\\f0\\fs20 The capture shows the \\b new toolbar\\b0  with its \\i six\\i0  buttons & a menu <here>; "
        "about 50% of the screen.\\par\r\n",
        "\\pard\\qc\\fs28 Centered \\ul heading\\ulnone  for caf\\'e9 and \\u8364?5 prices\\par\r\n",
        "\\pard\\fs20 See \\shad the page\\v #\"http://example.com/path?q=1&r=2\"\\v0  or \\shad mail me\\v "
        "#\"mailto:me@example.com?subject=Capture notes\"\\v0 .\\par\r\n",
        "\\pard\\qr\\fs36 Right {\\*\\pict\\pngblip\\picw10\\pich10 89504e470d0a1a0a0000}\\tab done\\line next\\par\r\n",
        "\\pard\\fs24 Plain text that goes on for a while, as most of an entry does, without any formatting at all, "
        "just words and a few escaped braces \\{like these\\} and a backslash \\\\ here.\\par\r\n",
    };
    for (std::size_t i = 0; rtf.size() < size; ++i)
        rtf += paragraphs[i % 5];
    return rtf + "\n}";
}

// What the Windows control writes for an entry in Russian, Greek, Japanese
// and Chinese: runs in fonts named by their charset, two bytes a character
// for the East Asian scripts, Unicode where no charset holds a character.
std::string ScriptsRtf(std::size_t size)
{
    std::string rtf =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
        "{\\f1\\fswiss\\fcharset204{\\*\\fname Arial;}Arial CYR;}{\\f2\\fswiss\\fcharset161{\\*\\fname Arial;}Arial Greek;}"
        "{\\f3\\fnil\\fcharset128 MS UI Gothic;}{\\f4\\fnil\\fcharset134 SimSun;}}\r\n"
        "{\\*\\generator Msftedit 5.41.21.2510;}\\viewkind4\\uc1";
    const char* const paragraphs[] = {
        "\\pard\\f0\\fs20 Hello \\lang1049\\f1\\'cf\\'f0\\'e8\\'e2\\'e5\\'f2, \\'ec\\'e8\\'f0 \\u8594? "
        "\\'e4\\'e0\\lang1033\\f0  caf\\'e9\\par\r\n",
        "\\pard\\qc\\lang1032\\f2\\'e3\\'e5\\'e9\\'e1 \\'f3\\'ef\\'f5\\lang1033\\f0  & <b>\\par\r\n",
        "\\pard\\lang1041\\f3\\'93\\'fa\\'96\\'7b\\'8c\\'ea\\'95\\'5c\\'8e\\'a6\\'82\\'b7\\'82\\'e9\\'83\\'5c\\'b1 "
        "\\shad\\'93\\'fa\\v #\"http://example.jp/\\'95\\'5c\"\\v0\\lang1033\\f0  50%\\par\r\n",
        "\\pard\\lang2052\\f4\\'c4\\'e3\\'ba\\'c3\\'a3\\'ac\\'ca\\'c0\\'bd\\'e7\\lang1033\\f0  end\\par\r\n",
    };
    for (std::size_t i = 0; rtf.size() < size; ++i)
        rtf += paragraphs[i % 4];
    return rtf + "\n}";
}

const std::string& Sample(std::size_t size, bool scripts = false)
{
    static std::string samples[2][3];
    const int index = size <= 10 * 1024 ? 0 : size <= 1024 * 1024 ? 1 : 2;
    std::string& sample = samples[scripts ? 1 : 0][index];
    if (sample.empty())
        sample = scripts ? ScriptsRtf(size) : EditorRtf(size);
    return sample;
}

// Converts the sample of the given size, with code pages or without, as often
// as the benchmark asks.
void RunConversion(benchmark::State& state, const std::string& rtf, rtf2html::ICodePages* codePages)
{
    std::size_t htmlSize = 0;
    for (auto _ : state) {
        CRtfConverter converter(codePages);
        const std::string html = converter.Convert(rtf, "\\pard", true);
        htmlSize = html.size();
        benchmark::DoNotOptimize(html.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(rtf.size()));
    state.counters["rtf_bytes"] = static_cast<double>(rtf.size());
    state.counters["html_bytes"] = static_cast<double>(htmlSize);
}

void BM_Convert(benchmark::State& state)
{
    RunConversion(state, Sample(static_cast<std::size_t>(state.range(0))), nullptr);
}
BENCHMARK(BM_Convert)->Arg(10 * 1024)->Arg(1024 * 1024)->Arg(10 * 1024 * 1024)->Unit(benchmark::kMillisecond);

// The post's own road on a Western system: the code pages are read once and
// kept, as the system keeps its own.
void BM_ConvertScripts(benchmark::State& state)
{
    static rtf2html::CIconvCodePages codePages(1252);
    RunConversion(state, Sample(static_cast<std::size_t>(state.range(0)), true), &codePages);
}
BENCHMARK(BM_ConvertScripts)->Arg(10 * 1024)->Arg(1024 * 1024)->Arg(10 * 1024 * 1024)->Unit(benchmark::kMillisecond);

// Runs an external converter on the sample saved as a file; its start-up is
// part of what a user of it would wait for.
void RunTool(benchmark::State& state, const char* command)
{
    const std::string& rtf = Sample(static_cast<std::size_t>(state.range(0)));
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("rtf2html_bench_" + std::to_string(rtf.size()) + ".rtf");
    {
        std::ofstream out(file, std::ios::binary);
        out << rtf;
    }
    const std::string line = std::string(command) + " '" + file.string() + "' >/dev/null 2>&1";
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const int status = std::system(line.c_str());
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        if (status != 0) {
            state.SkipWithError((std::string(command) + " failed or is not installed").c_str());
            break;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(rtf.size()));
    std::filesystem::remove(file);
}

void BM_Unrtf(benchmark::State& state)
{
    RunTool(state, "unrtf --html");
}
BENCHMARK(BM_Unrtf)->Arg(10 * 1024)->Arg(1024 * 1024)->Arg(10 * 1024 * 1024)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_Pandoc(benchmark::State& state)
{
    RunTool(state, "pandoc -f rtf -t html");
}
BENCHMARK(BM_Pandoc)->Arg(10 * 1024)->Arg(1024 * 1024)->Arg(10 * 1024 * 1024)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
