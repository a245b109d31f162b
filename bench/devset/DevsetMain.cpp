// bitexa-devset: scores the aligner's models on the development set that make_devset.py builds,
// and searches the lexical model's weights.
//
//   bitexa-devset DATA_DIR PART... [options]
//
// PART is tune or heldout (DATA_DIR/PART.manifest lists its documents). Every document is aligned
// as bitexa-align would (sentence-split documents cut by the English and Japanese rules, line
// documents by lines) and its unit links are scored against its gold; the figures are pooled
// over the documents of each group (sent, lines) and over all.
//
//   --model length|lexical   the model (default lexical)
//   --slider N               the sensitivity slider (default -4: a target 0.6 times as long)
//   --plain                  align the stretches with the plain engine
//   --no-analyser            the lexical model without MeCab (script runs)
//   --no-dictionary          the lexical model without the bilingual dictionary
//   --set "NAME=V ..."       lexical settings (below)
//   --grid "NAME=V1,V2 ..."  every combination of these settings, one line each
//   --documents              a line per document too
//
// Settings: miss1 dice1 onetwo1 (first pass: miss, dice, the cost of a one-to-two move), miss2
// dice2 onetwo2 (second pass), reach, rareshare raremin commonshare commonmin, learncount
// learndice.

#include "align/AnchoredAligner.h"
#include "reference/ReferenceAligner.h"
#include "run/LinkScore.h"
#include "run/RunCommand.h"
#include "text/NativePath.h"
#include "text/TextLoader.h"
#include "text/Utf16.h"

#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

using namespace bitexa;

namespace {

struct Document {
    std::string name;
    std::string group;
    SentenceList source;
    SentenceList target;
    GoldAlignment gold;
    int sourceMode = 0;
};

struct Options {
    bool lexical = true;
    int slider = -4;
    bool plain = false;
    bool documents = false;
    LexicalSettings settings;
};

std::vector<std::pair<std::string, std::string>> Assignments(const std::string& text) {
    std::vector<std::pair<std::string, std::string>> out;
    std::istringstream in(text);
    std::string item;
    while (in >> item) {
        const std::size_t equals = item.find('=');
        if (equals == std::string::npos) {
            throw std::runtime_error("expected NAME=VALUE: " + item);
        }
        out.emplace_back(item.substr(0, equals), item.substr(equals + 1));
    }
    return out;
}

void Set(LexicalSettings& s, const std::string& name, double value) {
    const auto count = [value] { return static_cast<std::uint32_t>(value); };
    if (name == "miss1") {
        s.firstPass.miss = value;
    } else if (name == "dice1") {
        s.firstPass.dice = value;
    } else if (name == "onetwo1") {
        s.firstPass.oneToTwo = static_cast<int>(value);
    } else if (name == "miss2") {
        s.secondPass.miss = value;
    } else if (name == "dice2") {
        s.secondPass.dice = value;
    } else if (name == "onetwo2") {
        s.secondPass.oneToTwo = static_cast<int>(value);
    } else if (name == "reach") {
        s.reach = count();
    } else if (name == "rareshare") {
        s.evidence.rareShare = value;
    } else if (name == "raremin") {
        s.evidence.rareMinimum = count();
    } else if (name == "commonshare") {
        s.evidence.commonShare = value;
    } else if (name == "commonmin") {
        s.evidence.commonMinimum = count();
    } else if (name == "learncount") {
        s.learning.minimumCount = count();
    } else if (name == "learndice") {
        s.learning.minimumDice = value;
    } else {
        throw std::runtime_error("unknown setting " + name);
    }
}

std::vector<Document> LoadPart(const std::string& dataDir, const std::string& part) {
    std::ifstream manifest(dataDir + "/" + part + ".manifest");
    if (!manifest) {
        throw std::runtime_error("cannot read " + dataDir + "/" + part + ".manifest");
    }
    std::vector<Document> documents;
    std::string base;
    std::string group;
    const Report report = [](const std::wstring& text, const std::wstring&) {
        throw std::runtime_error(ToUtf8(text));
    };
    while (manifest >> base >> group) {
        Document document;
        document.name = base;
        document.group = group;
        // Sentence-split documents are English text against Japanese text; the others lines.
        document.sourceMode = group == "sent" ? 2 : 0;
        const int targetMode = group == "sent" ? 1 : 0;
        const std::string path = dataDir + "/" + base;
        for (const auto& [file, mode, list] :
             {std::tuple{path + ".en.txt", document.sourceMode, &document.source},
              std::tuple{path + ".ja.txt", targetMode, &document.target}}) {
            if (!LoadSentenceList(PathFromNative(file), mode, *list, report).ok()) {
                throw std::runtime_error("cannot read " + file);
            }
        }
        if (!ReadGoldAlignment(PathFromNative(path + ".gold"), document.gold).ok()) {
            throw std::runtime_error("cannot read " + path + ".gold");
        }
        documents.push_back(std::move(document));
    }
    return documents;
}

LinkScore Align(const Document& document, const Options& options) {
    const double ratio = SensitivityFromSlider(options.slider);
    const std::wstring sourceJoiner = JoinerForMode(document.sourceMode);
    std::unique_ptr<CAnchoredAligner> aligner =
        options.plain ? std::make_unique<ReferenceAnchoredAligner>(document.source, document.target,
                                                                   sourceJoiner, L"", ratio)
                      : std::make_unique<CAnchoredAligner>(document.source, document.target,
                                                           sourceJoiner, L"", ratio);
    if (options.lexical) {
        aligner->UseLexicalModel(options.settings);
    }
    std::wstring text;
    ColumnList sourceColumn;
    ColumnList targetColumn;
    RunAnchoredAlignment(text, targetColumn, *aligner, sourceColumn);
    return ScoreLinks(document.gold, aligner->Rows());
}

void Add(LinkScore& total, const LinkScore& part) {
    total.correct += part.correct;
    total.proposed += part.proposed;
    total.expected += part.expected;
}

void Evaluate(const std::vector<Document>& documents, const Options& options,
              const std::string& label) {
    std::map<std::string, LinkScore> groups;
    LinkScore all;
    for (const Document& document : documents) {
        const LinkScore score = Align(document, options);
        if (options.documents) {
            std::printf("  %-24s P %.4f R %.4f F1 %.4f\n", document.name.c_str(), score.Precision(),
                        score.Recall(), score.F1());
        }
        Add(groups[document.group], score);
        Add(all, score);
    }
    std::printf("%s", label.c_str());
    for (const auto& [group, score] : groups) {
        std::printf(" %s %.4f", group.c_str(), score.F1());
    }
    std::printf(" all %.4f (P %.4f R %.4f)\n", all.F1(), all.Precision(), all.Recall());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    try {
        Options options;
        std::vector<std::string> positional;
        std::string grid;
        for (int k = 1; k < argc; ++k) {
            const std::string arg = argv[k];
            const auto value = [&]() -> std::string {
                if (k + 1 >= argc) {
                    throw std::runtime_error(arg + " needs a value");
                }
                return argv[++k];
            };
            if (arg == "--model") {
                options.lexical = value() == "lexical";
            } else if (arg == "--slider") {
                options.slider = std::stoi(value());
            } else if (arg == "--plain") {
                options.plain = true;
            } else if (arg == "--no-analyser") {
                options.settings.resources.analyserDictionaries.clear();
            } else if (arg == "--no-dictionary") {
                options.settings.resources.bilingualDictionary.clear();
            } else if (arg == "--set") {
                for (const auto& [name, v] : Assignments(value())) {
                    Set(options.settings, name, std::stod(v));
                }
            } else if (arg == "--grid") {
                grid = value();
            } else if (arg == "--documents") {
                options.documents = true;
            } else {
                positional.push_back(arg);
            }
        }
        if (positional.size() < 2) {
            std::fputs("usage: bitexa-devset DATA_DIR PART... [options] (see DevsetMain.cpp)\n",
                       stderr);
            return 2;
        }
        std::vector<Document> documents;
        for (std::size_t p = 1; p < positional.size(); ++p) {
            std::vector<Document> part = LoadPart(positional[0], positional[p]);
            documents.insert(documents.end(), std::make_move_iterator(part.begin()),
                             std::make_move_iterator(part.end()));
        }
        // The grid, as axes of values, walked like an odometer.
        std::vector<std::pair<std::string, std::vector<double>>> axes;
        for (const auto& [name, list] : Assignments(grid)) {
            std::vector<double> values;
            std::istringstream in(list);
            std::string v;
            while (std::getline(in, v, ',')) {
                values.push_back(std::stod(v));
            }
            axes.emplace_back(name, values);
        }
        std::vector<std::size_t> at(axes.size(), 0);
        while (true) {
            Options point = options;
            std::string label;
            for (std::size_t a = 0; a < axes.size(); ++a) {
                Set(point.settings, axes[a].first, axes[a].second[at[a]]);
                label += axes[a].first + "=" + std::to_string(axes[a].second[at[a]]) + " ";
            }
            Evaluate(documents, point, label);
            std::size_t a = 0;
            while (a < axes.size() && ++at[a] == axes[a].second.size()) {
                at[a++] = 0;
            }
            if (a == axes.size()) {
                break;
            }
        }
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bitexa-devset: %s\n", e.what());
        return 1;
    }
}
