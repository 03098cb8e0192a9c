#include "content/layout_solver.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>

#include "engine/core/VyTime.h"

namespace kit_test {
namespace {

const int N = TM_TILE_COUNT;

// Greedy games that take the pair opening up most, first as they come and
// then with random noise in the choice. Two rules keep a game out of
// obvious dead ends: a kind whose remaining tiles are all free is taken at
// once (taking tiles never blocks another), and no pair is taken that would
// leave the kind's last two tiles one on top of the other.
class Solver
{
public:
    explicit Solver(const TMBoard &board)
    {
        for (int i = 0; i < N; ++i) {
            const TMTile &t = board.tiles[i];
            m_present[i] = 1;
            m_height[i] = t.z;
            m_byKind[size_t(t.kind)].push_back(i);
        }
        // The neighbours that the board's free rule looks at.
        for (int i = 0; i < N; ++i) {
            const TMTile &a = board.tiles[i];
            for (int j = 0; j < N; ++j) {
                if (i == j)
                    continue;
                const TMTile &b = board.tiles[j];
                const int dx = b.x - a.x, dy = b.y - a.y;
                if (b.z == a.z + 1 && std::abs(dx) <= 1 && std::abs(dy) <= 1) {
                    ++m_coverCount[i];
                    m_covers[j].push_back(i);
                } else if (b.z == a.z && dx == -2 && std::abs(dy) <= 1) {
                    ++m_leftCount[i];
                    m_rightNeighbourOf[j].push_back(i);
                } else if (b.z == a.z && dx == 2 && std::abs(dy) <= 1) {
                    ++m_rightCount[i];
                    m_leftNeighbourOf[j].push_back(i);
                }
            }
        }
    }

    SolveResult run(int games)
    {
        SolveResult result;
        for (int g = 0; g < games && !result.solved; ++g) {
            result.solved = playout(g);
            result.games = g + 1;
        }
        result.moves = m_moves;
        return result;
    }

private:
    bool isFree(int i) const
    {
        return m_present[i] && m_coverCount[i] == 0 && (m_leftCount[i] == 0 || m_rightCount[i] == 0);
    }

    void remove(int i)
    {
        m_present[i] = 0;
        for (int j : m_covers[i])
            --m_coverCount[j];
        for (int j : m_rightNeighbourOf[i])
            --m_leftCount[j];
        for (int j : m_leftNeighbourOf[i])
            --m_rightCount[j];
    }

    void restore(int i)
    {
        m_present[i] = 1;
        for (int j : m_covers[i])
            ++m_coverCount[j];
        for (int j : m_rightNeighbourOf[i])
            ++m_leftCount[j];
        for (int j : m_leftNeighbourOf[i])
            ++m_rightCount[j];
    }

    // Whether tile a lies, directly or through present tiles between, on b.
    bool above(int a, int b) const
    {
        for (int c : m_covers[a]) {
            if (!m_present[c])
                continue;
            if (c == b || above(c, b))
                return true;
        }
        return false;
    }

    bool canPair(int a, int b) const { return !above(a, b) && !above(b, a); }

    void untake(int count)
    {
        for (int t = 0; t < count; ++t) {
            const auto m = m_moves.back();
            m_moves.pop_back();
            restore(m.second);
            restore(m.first);
        }
    }

    uint64_t nextRandom()
    {
        m_rand ^= m_rand << 13;
        m_rand ^= m_rand >> 7;
        m_rand ^= m_rand << 17;
        return m_rand;
    }

    // Present tiles in the row on one side of tile i, following the first
    // present neighbour each step.
    int rowLength(int i, bool toRight) const
    {
        int length = 0;
        for (int step = 0; step < 16; ++step) {
            int next = -1;
            for (int j : toRight ? m_rightNeighbourOf[i] : m_leftNeighbourOf[i]) {
                if (m_present[j]) {
                    next = j;
                    break;
                }
            }
            if (next < 0)
                break;
            ++length;
            i = next;
        }
        return length;
    }

    // How much taking the tile opens up: the stack under it and the row it
    // closes off, with height counting extra.
    int openingWeight(int i) const
    {
        int w = 0;
        for (int j : m_covers[i])
            w += m_present[j] ? 8 : 0;
        const int right = rowLength(i, true), left = rowLength(i, false);
        w += 3 * (m_leftCount[i] == 0 ? right : left);
        return w + m_height[i] * 6;
    }

    // Tiles that taking tile i would make free, of those it touches.
    int freedBy(int i, int other) const
    {
        int freed = 0;
        auto count = [&](int j, int coverDrop, int leftDrop, int rightDrop) {
            if (!m_present[j] || j == other || isFree(j))
                return;
            const int cover = m_coverCount[j] - coverDrop;
            if (cover == 0 && (m_leftCount[j] - leftDrop == 0 || m_rightCount[j] - rightDrop == 0))
                ++freed;
        };
        for (int j : m_covers[i])
            count(j, 1, 0, 0);
        for (int j : m_rightNeighbourOf[i])
            count(j, 0, 1, 0);
        for (int j : m_leftNeighbourOf[i])
            count(j, 0, 0, 1);
        return freed;
    }

    // The best pair to take now, by how much it opens up, or false when no
    // pair may be taken. A kind whose remaining tiles are all free is taken
    // at once. A pair that would leave the kind's last two tiles in one
    // stack is never taken.
    bool choose(int noise, int &bestA, int &bestB)
    {
        int bestScore = -1;
        bestA = bestB = -1;
        for (int k = 0; k < TM_KIND_COUNT; ++k) {
            int left[4], n = 0, freeTiles[4], nFree = 0;
            for (int i : m_byKind[size_t(k)]) {
                if (!m_present[i])
                    continue;
                left[n++] = i;
                if (isFree(i))
                    freeTiles[nFree++] = i;
            }
            if (nFree < 2)
                continue;
            if (nFree == n) {
                bestA = freeTiles[0];
                bestB = freeTiles[1];
                return true;
            }
            for (int p = 0; p < nFree; ++p) {
                for (int q = p + 1; q < nFree; ++q) {
                    const int a = freeTiles[p], b = freeTiles[q];
                    if (n == 4) {
                        int rest[2], r = 0;
                        for (int t = 0; t < 4; ++t)
                            if (left[t] != a && left[t] != b)
                                rest[r++] = left[t];
                        if (!canPair(rest[0], rest[1]))
                            continue;
                    }
                    int score = openingWeight(a) + openingWeight(b) + 6 * (freedBy(a, b) + freedBy(b, a));
                    if (noise)
                        score += int(nextRandom() % uint64_t(noise * 4));
                    if (score > bestScore) {
                        bestScore = score;
                        bestA = a;
                        bestB = b;
                    }
                }
            }
        }
        return bestA >= 0;
    }

    void take(int a, int b)
    {
        remove(a);
        remove(b);
        m_moves.emplace_back(a, b);
    }

    // Plays on greedily from here. Answers the number of pairs taken in all;
    // keeps its moves only when it cleared the board.
    int greedy(int noise)
    {
        const size_t start = m_moves.size();
        int a, b;
        while (choose(noise, a, b))
            take(a, b);
        const int reached = int(m_moves.size());
        if (reached != N / 2)
            untake(int(m_moves.size() - start));
        return reached;
    }

    // One greedy game; after the first, with random noise in the choice.
    bool playout(int attempt)
    {
        m_rand = 0x9e3779b97f4a7c15ull ^ (uint64_t(attempt) * 0x2545f4914f6cdd1dull);
        return greedy(attempt == 0 ? 0 : 4 + attempt % 24) == N / 2;
    }

    uint64_t m_rand = 1;
    std::array<uint8_t, N> m_present{};
    std::array<int, N> m_coverCount{}, m_leftCount{}, m_rightCount{}, m_height{};
    // Per tile: the tiles it lies on, and its neighbours on the right and left.
    std::array<std::vector<int>, N> m_covers, m_rightNeighbourOf, m_leftNeighbourOf;
    std::array<std::vector<int>, TM_KIND_COUNT> m_byKind;
    std::vector<std::pair<int, int>> m_moves;
};

} // namespace

SolveResult solveBoard(const TMBoard &board, int games)
{
    // The solver's arrays are large; keep them off the stack.
    auto solver = std::make_unique<Solver>(board);
    return solver->run(games);
}

bool replayOnBoard(const TMBoard &original, const std::vector<std::pair<int, int>> &moves)
{
    // A copy's pointers point into its own tiles.
    auto board = std::make_unique<TMBoard>(original);
    board->clearSelection();
    board->resetUndo();
    const VyTime now;
    for (const auto &m : moves) {
        TMTile *a = &board->tiles[m.first];
        TMTile *b = &board->tiles[m.second];
        if (a == b || !a->present || !b->present || a->kind != b->kind)
            return false;
        if (!board->isFree(a) || !board->isFree(b))
            return false;
        board->removePair(a, b, now);
    }
    return board->tilesLeft == 0;
}

} // namespace kit_test
