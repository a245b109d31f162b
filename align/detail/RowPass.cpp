#include "align/detail/RowPass.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <exception>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

namespace bitexa {

namespace {

// Rows that a stripe may run ahead of the last one: the bead costs and the handed-over costs of
// that many rows are kept.
constexpr std::size_t Slots = 32;

// Packing the bead costs of a row by target key costs about a fifth of filling a cell per key.
constexpr std::size_t PackedKeysPerColumn = 5;

// Set in every stripe's row count when the pass stops, so that no thread waits for ever.
constexpr std::uint64_t StopBit = std::uint64_t{1} << 63;

void Pause() {
#if defined(__SSE2__) || defined(_M_X64)
    _mm_pause();
#endif
}

// Waits until `count` reaches `needed`; false if the pass stopped first.
bool Await(const std::atomic<std::uint64_t>& count, std::uint64_t needed) {
    for (int spin = 0;; ++spin) {
        const std::uint64_t seen = count.load(std::memory_order_acquire);
        if ((seen & StopBit) != 0) {
            return false;
        }
        if (seen >= needed) {
            return true;
        }
        if (spin < 200) {
            Pause();
        } else {
            count.wait(seen, std::memory_order_acquire);
        }
    }
}

void PackRowBeads(BeadTables& beads, std::int64_t sourceAlone, const LexicalBonuses* lexical,
                  std::size_t i, RowBeads& row) {
    row.sourceAlone = sourceAlone;
    row.bySingle.resize(beads.TargetSingleKeys());
    row.byPair.resize(beads.TargetPairKeys());
    if (i < 2) {
        return; // row 1 pairs nothing but the origin
    }
    beads.PackRow(i, row.bySingle.data(), row.byPair.data());
    if (lexical == nullptr) {
        return;
    }
    // The lexical model's one-to-two moves cost more whatever their lengths. A bead cost is at
    // most 50000 plus 230, so each half still holds it.
    const std::uint32_t oneToTwo = static_cast<std::uint32_t>(lexical->OneToTwoMove());
    if (i >= 3) {
        for (std::uint32_t& entry : row.bySingle) {
            entry += oneToTwo << 16;
        }
    }
    for (std::uint32_t& entry : row.byPair) {
        entry += oneToTwo;
    }
}

// The columns of each stripe: [bounds[t], bounds[t + 1]). Every stripe but the last starts at a
// column d with d - 1 a multiple of 3 and holds a multiple of 3 columns, so that no byte of path
// codes is shared; every stripe but the first starts right of column 2, so that below row 2 it
// holds no edge cell. A first stripe that also packs every row's bead costs for the others, work
// worth `lead` columns, holds that many columns fewer than an even share.
std::vector<std::size_t> StripeBounds(std::size_t firstColumn, std::size_t lastColumn,
                                      unsigned stripes, std::size_t lead) {
    std::vector<std::size_t> bounds{firstColumn};
    const std::size_t columns = lastColumn + 1 - firstColumn;
    const std::size_t work = columns + lead;
    for (unsigned t = 1; t < stripes; ++t) {
        const std::size_t share = work * t / stripes;
        const std::size_t left = share > lead ? share - lead : 0;
        const std::size_t from = firstColumn + std::max(left, columns * t / (2 * stripes)) / 3 * 3;
        if (from > bounds.back() + 2 && from > 3 && from + 2 <= lastColumn) {
            bounds.push_back(from);
        }
    }
    bounds.push_back(lastColumn + 1);
    return bounds;
}

unsigned StripeCount(const PassSource& source, const PassPlan& plan) {
    const std::size_t columns = plan.lastColumn + 1 - plan.firstColumn;
    const std::uint64_t cells = std::uint64_t{plan.end - plan.first} * columns;
    if (source.threads <= 1 || cells < source.minThreadCells) {
        return 1;
    }
    const std::size_t byWidth = columns / std::max<std::size_t>(3, source.minStripeColumns);
    return static_cast<unsigned>(std::clamp<std::size_t>(byWidth, 1, source.threads));
}

class StripeTeam {
public:
    StripeTeam(const PassSource& source, const PassPlan& plan, unsigned stripes)
        : m_source(source), m_plan(plan), m_ownPacking(stripes > 1 && source.beads.HoldsAll()),
          m_bounds(StripeBounds(
              plan.firstColumn, plan.lastColumn, stripes,
              m_ownPacking ? 0
                           : (source.beads.TargetSingleKeys() + source.beads.TargetPairKeys()) /
                                 PackedKeysPerColumn)),
          m_states(m_bounds.size() - 1), m_beads(Slots) {
        for (auto& state : m_states) {
            state = std::make_unique<StripeState>();
            state->next.store(plan.first, std::memory_order_relaxed);
        }
        m_rowsPerObservation = std::max<std::size_t>(
            1, (std::size_t{1} << 20) / (plan.lastColumn + 1 - plan.firstColumn));
    }

    StripeTeam(const StripeTeam&) = delete;
    StripeTeam& operator=(const StripeTeam&) = delete;

    ~StripeTeam() {
        if (!m_threads.empty()) {
            Stop();
            Join();
        }
    }

    // Starts the threads of every stripe but the first; false if the system would not give one
    // (nothing runs then).
    bool Start() {
        try {
            for (std::size_t t = 1; t < m_states.size(); ++t) {
                m_threads.emplace_back([this, t] { RunWorker(t); });
            }
        } catch (const std::system_error&) {
            Stop();
            Join();
            return false;
        }
        return true;
    }

    // Fills the first stripe on this thread, then waits for the others.
    std::int64_t Run() {
        try {
            RunStripe(0);
        } catch (...) {
            Stop();
            Join();
            throw;
        }
        Join();
        if (m_failure) {
            std::rethrow_exception(m_failure);
        }
        return m_lastCost;
    }

private:
    struct alignas(64) StripeState {
        // The first row not yet filled (StopBit added when the pass stops).
        std::atomic<std::uint64_t> next{0};
        // The last two costs of recent rows, for the stripe to the right.
        std::array<std::array<std::int64_t, 2>, Slots> handOver{};
    };

    void RunWorker(std::size_t t) {
        try {
            RunStripe(t);
        } catch (...) {
            {
                const std::lock_guard<std::mutex> lock(m_failureMutex);
                if (!m_failure) {
                    m_failure = std::current_exception();
                }
            }
            Stop();
        }
    }

    void Stop() {
        for (auto& state : m_states) {
            state->next.fetch_or(StopBit, std::memory_order_acq_rel);
            state->next.notify_all();
        }
    }

    void Join() {
        for (std::thread& thread : m_threads) {
            if (thread.joinable()) {
                thread.join();
            }
        }
        m_threads.clear();
    }

    std::uint64_t CellsDone() const {
        std::uint64_t cells = 0;
        for (std::size_t t = 0; t < m_states.size(); ++t) {
            const std::uint64_t next = m_states[t]->next.load(std::memory_order_relaxed) & ~StopBit;
            cells += (next - m_plan.first) * (m_bounds[t + 1] - m_bounds[t]);
        }
        return cells;
    }

    void RunStripe(std::size_t t) {
        const std::size_t from = m_bounds[t];
        const std::size_t to = m_bounds[t + 1];
        const std::size_t last = m_states.size() - 1;
        StripeState& own = *m_states[t];
        StripeFiller filler(m_source.columns, from, to, m_source.wideFromRow);
        filler.Load(m_plan.twoBack, m_plan.oneBack);
        // The halo columns that this stripe copies out: those it holds.
        const auto& allColumns = m_plan.columnSaves;
        const auto byColumn = [](const auto& save, std::size_t column) {
            return save.first < column;
        };
        const auto firstColumnSave =
            std::lower_bound(allColumns.begin(), allColumns.end(), from, byColumn);
        const auto endColumnSave =
            std::lower_bound(firstColumnSave, allColumns.end(), to, byColumn);
        std::size_t save = 0;
        // This stripe's own bead costs, or the slots that the first stripe packs for all.
        const bool packs = m_ownPacking || t == 0;
        RowBeads ownBeads;
        for (std::size_t i = m_plan.first; i < m_plan.end; ++i) {
            RowBeads& beads = m_ownPacking ? ownBeads : m_beads[i % Slots];
            // The slots of row i - Slots (its hand-over costs, and its bead costs unless each
            // stripe packs its own) are free once the last stripe has filled that row.
            if (t == 0 && last > 0 && i >= m_plan.first + Slots &&
                !Await(m_states[last]->next, i + 1 - Slots)) {
                return;
            }
            if (packs) {
                PackRowBeads(m_source.beads, m_source.sourceAlone[i], m_source.columns.lexical, i,
                             beads);
                m_source.beads.Prefetch(i + 1);
            }
            std::int64_t haloTwo = 0;
            std::int64_t haloOne = 0;
            if (t == 0) {
                if (m_plan.halo != nullptr) {
                    haloTwo = m_plan.halo[2 * i];
                    haloOne = m_plan.halo[2 * i + 1];
                }
            } else {
                const StripeState& left = *m_states[t - 1];
                if (!Await(left.next, i + 1)) {
                    return;
                }
                haloTwo = left.handOver[i % Slots][0];
                haloOne = left.handOver[i % Slots][1];
            }
            filler.Fill(i, beads, haloTwo, haloOne);
            if (m_plan.codes != nullptr && i >= m_plan.codesFirst) {
                filler.PackCodes(m_plan.codes + (i - m_plan.codesFirst) * m_plan.codeRowBytes,
                                 m_plan.firstColumn);
            }
            for (; save < m_plan.saves.size() && m_plan.saves[save].first == i; ++save) {
                std::int64_t* saved = m_plan.saves[save].second;
                filler.CopyRow(saved);
                if (t == 0 && m_plan.halo != nullptr) {
                    // The halo too: a pass that starts below this row reads it.
                    saved[from - 2 + SavedRowOffset] = haloTwo;
                    saved[from - 1 + SavedRowOffset] = haloOne;
                }
            }
            for (auto column = firstColumnSave; column != endColumnSave; ++column) {
                column->second[2 * i] = filler.At(column->first - 2);
                column->second[2 * i + 1] = filler.At(column->first - 1);
            }
            if (t < last) {
                own.handOver[i % Slots] = {filler.At(to - 2), filler.At(to - 1)};
            }
            // From i to i + 1, keeping a stop that came in the meantime: a plain store would
            // erase it, and the stripe to the right would wait for a row that never comes.
            own.next.fetch_add(1, std::memory_order_acq_rel);
            if (last > 0) {
                own.next.notify_all();
            }
            if (t == 0 && m_source.progress && (i + 1 - m_plan.first) % m_rowsPerObservation == 0) {
                m_source.progress(CellsDone());
            }
        }
        if (t == last) {
            m_lastCost = filler.At(to - 1);
        }
    }

    const PassSource& m_source;
    const PassPlan& m_plan;
    // Every stripe packs the rows' bead costs itself, when the tables hold them all: a row of a
    // stretch of paragraphs packs into 30 KB, which another core would have to fetch from the
    // first one's caches line by line, more slowly than it packs them itself. Otherwise the first
    // stripe packs them into slots that the others read.
    bool m_ownPacking;
    std::vector<std::size_t> m_bounds;
    std::vector<std::unique_ptr<StripeState>> m_states;
    std::vector<RowBeads> m_beads;
    std::vector<std::thread> m_threads;
    std::size_t m_rowsPerObservation = 1;
    std::mutex m_failureMutex;
    std::exception_ptr m_failure;
    std::int64_t m_lastCost = 0;
};

} // namespace

std::int64_t RunPass(const PassSource& source, const PassPlan& plan) {
    if (plan.first >= plan.end) {
        return 0;
    }
    const unsigned stripes = StripeCount(source, plan);
    if (stripes > 1) {
        StripeTeam team(source, plan, stripes);
        if (team.Start()) {
            return team.Run();
        }
    }
    StripeTeam alone(source, plan, 1);
    return alone.Run();
}

} // namespace bitexa
