// Whole runs of the command-line aligner, as a user starts them, on generated file pairs.

#include "BenchCase.h"
#include "InputGenerator.h"

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace bitexa::bench {
namespace {

namespace fs = std::filesystem;

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Starts bitexa-align with the arguments, waits for it, and takes its own peak memory.
void TimeAlignCommand(Stopwatch& watch, std::vector<std::string> args) {
    args.insert(args.begin(), BITEXA_ALIGN_EXE);
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);

    watch.Start();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
        std::perror("posix_spawn");
        _exit(1);
    }
    int status = 0;
    struct rusage usage {};
    wait4(pid, &status, 0, &usage);
    watch.Stop();
    watch.SetPeakKiB(usage.ru_maxrss);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "bitexa-align ended with status %d\n", status);
        _exit(1);
    }
}

void AddFilePairCase(const std::string& name, const std::string& what, CorpusShape shape,
                     std::vector<std::string> options) {
    AddCase(name, what, [shape, options, name](Stopwatch& watch) {
        const fs::path dir = fs::temp_directory_path() / ("bitexa-bench-" + name);
        fs::create_directories(dir);
        {
            const ParallelFiles files = GenerateFiles(shape);
            WriteFile(dir / "source.txt", files.source);
            WriteFile(dir / "target.txt", files.target);
        }
        std::vector<std::string> args = options;
        args.insert(args.end(), {"-o", (dir / "result.txt").string(), (dir / "source.txt").string(),
                                 (dir / "target.txt").string()});
        TimeAlignCommand(watch, args);
        fs::remove_all(dir);
    });
}

// A pair of files that exists already (the development set's real translations).
void AddExistingPairCase(const std::string& name, const std::string& what, const fs::path& source,
                         const fs::path& target, std::vector<std::string> options) {
    AddCase(name, what, [name, source, target, options](Stopwatch& watch) {
        const fs::path dir = fs::temp_directory_path() / ("bitexa-bench-" + name);
        fs::create_directories(dir);
        std::vector<std::string> args = options;
        args.insert(args.end(),
                    {"-o", (dir / "result.txt").string(), source.string(), target.string()});
        TimeAlignCommand(watch, args);
        fs::remove_all(dir);
    });
}

// A corpus of many small pairs and its manifest, aligned as one batch on `jobs` workers.
void AddBatchCase(const std::string& name, const std::string& what, std::size_t pairs,
                  unsigned jobs) {
    AddCase(name, what, [name, pairs, jobs](Stopwatch& watch) {
        const fs::path dir = fs::temp_directory_path() / ("bitexa-bench-" + name);
        fs::remove_all(dir);
        fs::create_directories(dir / "out");
        std::string manifest;
        for (std::size_t p = 0; p < pairs; ++p) {
            // A few hundred sentences a side, a shared label every 20.
            CorpusShape shape;
            shape.sentences = 200 + p % 200;
            shape.labelEvery = 20;
            shape.start = static_cast<std::uint32_t>(p + 1);
            const ParallelFiles files = GenerateFiles(shape);
            const std::string n = std::to_string(p);
            WriteFile(dir / ("s" + n + ".txt"), files.source);
            WriteFile(dir / ("t" + n + ".txt"), files.target);
            manifest += "s" + n + ".txt\tt" + n + ".txt\tout/" + n + ".txt\t-s\tnone\t-t\tnone\n";
        }
        WriteFile(dir / "manifest.tsv", manifest);
        TimeAlignCommand(
            watch, {"--batch", (dir / "manifest.tsv").string(), "--jobs", std::to_string(jobs)});
        fs::remove_all(dir);
    });
}

} // namespace

void AddRunCases() {
    CorpusShape lines;
    lines.sentences = 20000;
    lines.ratio = 0.5;
    AddFilePairCase("run-20000-lines",
                    "bitexa-align on two 20,000-line files, no labels, lines mode (one stretch)",
                    lines, {"-s", "none", "-t", "none", "--slider", "-5"});
    AddFilePairCase("run-20000-lines-1-thread", "the same on one thread", lines,
                    {"-s", "none", "-t", "none", "--slider", "-5", "--threads", "1"});
    AddFilePairCase("run-20000-lines-lexical", "the same by the lexical model (generated text)",
                    lines, {"-s", "none", "-t", "none", "--slider", "-5", "--model", "lexical"});

    // Real translations: the 20,000 lines of the development set (bench/devset/make_devset.py),
    // where the lexical model has words to go by. Listed when BITEXA_DEVSET names its folder.
    if (const char* devset = std::getenv("BITEXA_DEVSET")) {
        const fs::path timing = fs::path(devset) / "timing";
        for (const char* model : {"length", "lexical"}) {
            AddExistingPairCase(std::string("run-devset-20000-") + model,
                                std::string("bitexa-align --model ") + model +
                                    " on the development set's 20,000 lines",
                                timing / "lines-20k.en.txt", timing / "lines-20k.ja.txt",
                                {"-s", "none", "-t", "none", "--slider", "-4", "--model", model});
        }
    }

    // The same with one paragraph of about 2,000 characters a line: lengths of thousands, many of
    // them distinct, so the bead costs of a stretch have millions of length pairs.
    CorpusShape paragraphs = lines;
    paragraphs.meanLength = 2000;
    AddFilePairCase("run-20000-paragraphs",
                    "bitexa-align on two 20,000-line files of ~2,000-character paragraphs",
                    paragraphs, {"-s", "none", "-t", "none", "--slider", "-5"});

    // About 5 MB of UTF-8 a side: 45,000 English sentences of ~110 characters, their targets in
    // kana (3 bytes a character) at ratio 1 (so both files are of similar size), a shared label
    // every 40 sentences.
    CorpusShape large;
    large.sentences = 45000;
    large.ratio = 1.0;
    large.labelEvery = 40;
    // Sections that number their paragraphs (1) to (5) afresh, a label before every sentence:
    // 50,000 labels a side, each shared with 10,000 on the other side.
    CorpusShape restarting = large;
    restarting.sentences = 50000;
    restarting.labelEvery = 1;
    restarting.labelsRestartAfter = 5;
    AddFilePairCase("run-restarting-labels",
                    "bitexa-align on two ~5 MB files whose 50,000 labels count (1) to (5) afresh",
                    restarting, {"-s", "none", "-t", "none", "--slider", "0"});

    AddFilePairCase("run-5mb-labelled",
                    "bitexa-align on two ~5 MB files with a shared label every 40 sentences", large,
                    {"-s", "none", "-t", "none", "--slider", "0"});

    // The same 1,000 small pairs on one worker and on two: the ratio is what a second core buys.
    AddBatchCase("run-batch-1000-jobs1", "bitexa-align --batch, 1,000 small pairs, --jobs 1", 1000,
                 1);
    AddBatchCase("run-batch-1000-jobs2", "bitexa-align --batch, 1,000 small pairs, --jobs 2", 1000,
                 2);
}

} // namespace bitexa::bench
