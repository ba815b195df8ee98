// Reading the blog list must stay linear in the answer's length: a full 1 MiB
// answer (about 10,000 blogs) should cost ten times what 1,000 blogs cost.
#include <benchmark/benchmark.h>

#include <string>

#include "publish/BlogList.h"
#include "settings/QTVXmlString.h"

namespace {

std::string Answer(int blogs)
{
    std::string text = "<?xml version=\"1.0\" encoding=\"utf-8\"?><Blogs>";
    for (int i = 0; i < blogs; ++i) {
        const std::string n = std::to_string(i);
        text += "<Blog_Object><BlogId>" + n + "</BlogId><BlogName>Blog " + n + " &amp; co</BlogName><BlogAddress>http://b" +
                n + ".example.com/</BlogAddress></Blog_Object>";
    }
    return text + "</Blogs>";
}

void BM_ParseBlogList(benchmark::State& state)
{
    const QTVXmlString answer(Answer(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        QTVXmlString copy(answer);
        const publish::CBlogList list = publish::ParseBlogList(copy, 1, "me");
        benchmark::DoNotOptimize(list.m_names.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(answer.size()));
    state.counters["bytes"] = static_cast<double>(answer.size());
}
BENCHMARK(BM_ParseBlogList)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// The worst shape for a lookup: a name that never closes, so every tag to the
// end of the text is examined before it fails.
void BM_LookupUnclosed(benchmark::State& state)
{
    std::string text;
    for (int64_t i = 0; i < state.range(0); ++i)
        text += "<Blog_Object>";
    QTVXmlString xml(text);
    for (auto _ : state) {
        std::string result;
        int cursor = 0;
        benchmark::DoNotOptimize(xml.GetElementText("Blog_Object", result, cursor));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_LookupUnclosed)->Arg(8000)->Arg(80000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
