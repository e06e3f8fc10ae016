// Host timings of the program's text work as the input grows: each should grow linearly, and the
// complexity fit after each family says whether it does.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/Form1.h"
#include "save/Paths.h"
#include "save/TextFile.h"
#include "support/Fakes.h"

namespace {

constexpr std::int64_t kTextMin = 1 << 10;
constexpr std::int64_t kTextMax = 1 << 20;
constexpr std::int64_t kListMin = 1000;
constexpr std::int64_t kListMax = 100000;
constexpr std::int64_t kCopyMin = 100;
constexpr std::int64_t kCopyMax = 5000;
// How much the cost per copied file may grow from the shortest list to the longest.
constexpr double kCopyDriftLimit = 1.5;
// A file list this long must turn into text before a user notices a pause.
constexpr double kListLimitSeconds = 0.5;

// Prose with a few names in it, as a text on the clipboard would look.
std::wstring prose(std::size_t length) {
  static const std::wstring kChunk = L"Notes about report.RTF and a few other words. ";
  std::wstring text;
  text.reserve(length + kChunk.size());
  while (text.size() < length)
    text += kChunk;
  text.resize(length);
  return text;
}

void ReplaceTextProse(benchmark::State& state) {
  const std::wstring text = prose(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    std::wstring out = ReplaceText(text, L".rtf", L".TXT");
    benchmark::DoNotOptimize(out);
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(ReplaceTextProse)->RangeMultiplier(4)->Range(kTextMin, kTextMax)->Complexity();

// Long runs of one letter against a find text that almost matches: the case a naive search
// turns quadratic on.
void ReplaceTextNearMatches(benchmark::State& state) {
  const std::wstring text(static_cast<std::size_t>(state.range(0)), L'a');
  const std::wstring find = std::wstring(64, L'A') + L"b";
  for (auto _ : state) {
    std::wstring out = ReplaceText(text, find, L"x");
    benchmark::DoNotOptimize(out);
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(ReplaceTextNearMatches)->RangeMultiplier(4)->Range(kTextMin, kTextMax)->Complexity();

// A one-line text with neither "www." nor "//": the rule reads all of it.
void IsWebAddress(benchmark::State& state) {
  std::wstring text = prose(static_cast<std::size_t>(state.range(0)));
  for (wchar_t& c : text) {
    if (c == L'.')
      c = L',';
  }
  for (auto _ : state) {
    bool web = Form1::IsWebAddress(text);
    benchmark::DoNotOptimize(web);
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(IsWebAddress)->RangeMultiplier(4)->Range(kTextMin, kTextMax)->Complexity();

std::vector<std::wstring> fileList(std::size_t count) {
  std::vector<std::wstring> files;
  files.reserve(count);
  for (std::size_t i = 0; i < count; ++i)
    files.push_back(L"C:\\Data\\Incoming\\Holiday pictures\\IMG_" + std::to_wstring(100000 + i) +
                    L".JPG");
  return files;
}

std::size_t listTextLength(const std::vector<std::wstring>& files) {
  std::size_t length = 0;
  for (const auto& f : files)
    length += f.size() + 2;
  return length;
}

// The "-> TXT" button on a window showing a file list; the window is set up anew, untimed, for
// every press, since the press changes its mode.
void ConvertFileListToText(benchmark::State& state) {
  const std::vector<std::wstring> files = fileList(static_cast<std::size_t>(state.range(0)));
  const std::size_t expected = listTextLength(files);
  for (auto _ : state) {
    state.PauseTiming();
    auto platform = std::make_unique<fake::TestPlatform>();
    platform->clipboard.formats = {platform::ClipFormat::HDrop};
    platform->clipboard.files = files;
    auto form = std::make_unique<Form1>(platform->platform);
    form->load();
    if (!form->ListBox.visible() || form->ListBox.listCount() != state.range(0)) {
      state.SkipWithError("the window does not show the file list");
      break;
    }
    state.ResumeTiming();
    form->ConvertTxtBtn_Click();
    state.PauseTiming();
    if (form->ClipText.text().size() != expected) {
      state.SkipWithError("the converted text does not hold every entry");
      break;
    }
    form.reset();
    platform.reset();
    state.ResumeTiming();
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(ConvertFileListToText)
    ->RangeMultiplier(4)
    ->Range(kListMin, kListMax)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Complexity();

// The window's list box as it mirrors the model: a refill copies every entry, a removal drops one.
class ListMirror : public ui::Peer {
 public:
  explicit ListMirror(const ui::ListBox& list) : list_(list), entries_(list.items()) {}
  void update(ui::Prop prop) override {
    if (prop == ui::Prop::Items)
      entries_ = list_.items();
    else if (prop == ui::Prop::ItemRemoved)
      entries_.erase(entries_.begin() + list_.removedIndex());
  }
  std::size_t size() const { return entries_.size(); }

 private:
  const ui::ListBox& list_;
  std::vector<std::wstring> entries_;
};

// "Copy File(s)" of a whole list into an empty directory, the list box mirroring each removal:
// the cost per file must not grow with the length of the list.
void CopyFileList(benchmark::State& state) {
  const std::vector<std::wstring> files = fileList(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    auto platform = std::make_unique<fake::TestPlatform>();
    platform->fileSystem.addDirectory(L"C:\\Target");
    for (const std::wstring& file : files)
      platform->fileSystem.addFile(file, "picture");
    platform->clipboard.formats = {platform::ClipFormat::HDrop};
    platform->clipboard.files = files;
    auto form = std::make_unique<Form1>(platform->platform);
    form->load();
    form->Path.setText(L"C:\\Target\\");
    ListMirror mirror(form->ListBox);
    form->ListBox.attachPeer(&mirror);
    state.ResumeTiming();
    const auto status = fake::exitStatusOf([&] { form->SaveFilesBtn_Click(); });
    state.PauseTiming();
    form->ListBox.attachPeer(nullptr);
    if (status != platform::exitcode::kSaved || mirror.size() != 0) {
      state.SkipWithError("the list was not copied whole");
      break;
    }
    form.reset();
    platform.reset();
    state.ResumeTiming();
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(CopyFileList)
    ->RangeMultiplier(4)
    ->Range(kCopyMin, kCopyMax)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Complexity();

// Text that the ANSI code page holds, and the same text with one Greek letter at its end, which
// costs a failed ANSI attempt before the UTF-8 encoding.
void EncodeTextFileAnsi(benchmark::State& state) {
  fake::FakeCodepage codepage;
  const std::wstring text = prose(static_cast<std::size_t>(state.range(0))) + L"\u00e9";
  for (auto _ : state) {
    std::string bytes = EncodeTextFile(codepage, text);
    benchmark::DoNotOptimize(bytes);
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(EncodeTextFileAnsi)->RangeMultiplier(4)->Range(kTextMin, kTextMax)->Complexity();

void EncodeTextFileUtf8(benchmark::State& state) {
  fake::FakeCodepage codepage;
  const std::wstring text = prose(static_cast<std::size_t>(state.range(0))) + L"\u03a9";
  for (auto _ : state) {
    std::string bytes = EncodeTextFile(codepage, text);
    benchmark::DoNotOptimize(bytes);
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(EncodeTextFileUtf8)->RangeMultiplier(4)->Range(kTextMin, kTextMax)->Complexity();

const char* bigOName(benchmark::BigO o) {
  switch (o) {
    case benchmark::o1:
      return "O(1)";
    case benchmark::oN:
      return "O(N)";
    case benchmark::oNSquared:
      return "O(N^2)";
    case benchmark::oNCubed:
      return "O(N^3)";
    case benchmark::oLogN:
      return "O(lgN)";
    case benchmark::oNLogN:
      return "O(NlgN)";
    default:
      return "O(?)";
  }
}

// The console report, and a summary at the end: each family's fitted order, how far its cost
// per element drifts from the smallest to the largest input (a linear one stays flat, where the
// fit alone can tip towards N lg N on the noise of the largest inputs), and the longest file list.
class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  SummaryReporter() : ConsoleReporter(OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& reports) override {
    ConsoleReporter::ReportRuns(reports);
    for (const Run& run : reports) {
      const std::string name = run.run_name.function_name;
      if (run.error_occurred) {
        failed_ = true;
        summary_.push_back("ERROR " + name + ": " + run.error_message);
      } else if (run.report_big_o) {
        summarizeFamily(name, run.complexity);
      } else if (!run.report_rms && run.run_type == Run::RT_Iteration && run.complexity_n > 0) {
        const double ns = run.GetAdjustedCPUTime() /
                          benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e9 /
                          static_cast<double>(run.complexity_n);
        perElement_[name].push_back(ns);
        if (name == "ConvertFileListToText" && run.complexity_n == kListMax)
          listSeconds_ =
              run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
      }
    }
  }

  void printSummary() const {
    std::printf("\nsummary\n");
    for (const std::string& line : summary_)
      std::printf("  %s\n", line.c_str());
    if (listSeconds_ >= 0) {
      std::printf("  list %lld entries -> TXT: %.3f s wall (under %.1f s: %s)\n",
                  static_cast<long long>(kListMax), listSeconds_, kListLimitSeconds,
                  listSeconds_ < kListLimitSeconds ? "yes" : "NO");
    }
    if (copyDrift_ >= 0) {
      std::printf("  copy per file, %lld against %lld files: x%.2f (at most x%.1f: %s)\n",
                  static_cast<long long>(kCopyMax), static_cast<long long>(kCopyMin), copyDrift_,
                  kCopyDriftLimit, copyDrift_ <= kCopyDriftLimit ? "yes" : "NO");
    }
    std::fflush(stdout);
  }
  bool failed() const { return failed_; }

 private:
  void summarizeFamily(const std::string& name, benchmark::BigO fitted) {
    const std::vector<double>& costs = perElement_[name];
    if (costs.empty())
      return;
    // Cost per element at the largest input against the smallest.
    const double drift = costs.back() / costs.front();
    if (name == "CopyFileList")
      copyDrift_ = drift;
    const auto [low, high] = std::minmax_element(costs.begin(), costs.end());
    char line[256];
    std::snprintf(line, sizeof line,
                  "fit %-24s %-8s cpu per element %.2f..%.2f ns, x%.2f from "
                  "smallest to largest input",
                  name.c_str(), bigOName(fitted), *low, *high, drift);
    summary_.push_back(line);
  }

  std::vector<std::string> summary_;
  std::map<std::string, std::vector<double>> perElement_;
  double listSeconds_ = -1;
  double copyDrift_ = -1;
  bool failed_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 2;
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  reporter.printSummary();
  return reporter.failed() ? 1 : 0;
}
