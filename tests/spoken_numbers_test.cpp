#include "scores/spoken_numbers.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/globals.h"
#include "scores/best_scores.h"

namespace {

// The list up to its first end marker, after checking the marker fills the rest.
std::vector<int32_t> SpokenList() {
  std::vector<int32_t> list;
  int k = 0;
  while (k < SAY_SEQUENCE_LENGTH && g_saySequence[k] != SAY_END) list.push_back(g_saySequence[k++]);
  for (; k < SAY_SEQUENCE_LENGTH; ++k) EXPECT_EQ(g_saySequence[k], SAY_END) << "entry " << k;
  return list;
}

std::vector<int32_t> FinalScoreList(int32_t score) {
  g_bestCursor = 0;
  g_bestLastIndex = 0;
  g_lastScore = score;
  BuildScoreSequence(ANNOUNCE_FINAL_SCORE);
  return SpokenList();
}

std::vector<int32_t> BestScoreList(int32_t score) {
  for (int32_t& entry : g_bestScores) entry = -1;
  g_bestScores[3] = score;
  g_bestLastIndex = 3;
  g_bestCursor = 3;
  g_lastScore = 0;
  BuildScoreSequence(ANNOUNCE_BEST_SCORES);
  return SpokenList();
}

struct NumberCase {
  int32_t number;
  std::vector<int32_t> words;  // between the opening and points
};

const NumberCase kNumbers[] = {
    {0, {0}},
    {7, {7}},
    {20, {20}},
    {21, {20, 1}},
    {99, {27, 9}},
    {100, {1, 28}},
    {105, {1, 28, 5}},
    {110, {1, 28, 10}},
    {999, {9, 28, 27, 9}},
    {1000, {1, 29}},
    {1001, {1, 29, 1}},
    {10000, {10, 29}},
    {12345, {12, 29, 3, 28, 22, 5}},
    {17999, {17, 29, 9, 28, 27, 9}},
    {18000, {18, 29}},
    {21000, {20, 1, 29}},
    {23456, {20, 3, 29, 4, 28, 23, 6}},
    {30000, {21, 29}},
    {100000, {1, 28, 29}},
    {100500, {1, 28, 29, 5, 28}},
    {120000, {1, 28, 20, 29}},
    {999999, {9, 28, 27, 9, 29, 9, 28, 27, 9}},
    // Negative numbers, the empty entry -1 among them, are said as zero.
    {-1, {0}},
    {-99999, {0}},
};

TEST(SpokenNumbersTest, EveryNumberForBothKinds) {
  for (const NumberCase& c : kNumbers) {
    SCOPED_TRACE(c.number);
    std::vector<int32_t> expected = {SND_SAY_FINAL_SCORE};
    expected.insert(expected.end(), c.words.begin(), c.words.end());
    expected.push_back(SND_SAY_POINTS);
    EXPECT_EQ(FinalScoreList(c.number), expected);

    expected.front() = SND_SCORE_ARROWS;
    EXPECT_EQ(BestScoreList(c.number), expected);
  }
}

TEST(SpokenNumbersTest, ReturnToMenuEntryWritesOnlyTwoEntries) {
  for (int32_t& entry : g_saySequence) entry = 5;
  g_bestLastIndex = 2;
  g_bestCursor = 3;
  for (int kind : {ANNOUNCE_BEST_SCORES, ANNOUNCE_FINAL_SCORE}) {
    BuildScoreSequence(kind);
    EXPECT_EQ(g_saySequence[0], SND_RETURN_TO_MENU);
    EXPECT_EQ(g_saySequence[1], SAY_END);
    EXPECT_EQ(g_saySequence[2], 5);  // the rest keeps what it held
  }
}

// Numbers no score reaches still make a well-formed list of real sounds.
TEST(SpokenNumbersTest, HugeNumbersStayWithinTheSounds) {
  for (int32_t number : {1000000, 2000000000, INT32_MAX, INT32_MIN}) {
    SCOPED_TRACE(number);
    const std::vector<int32_t> list = FinalScoreList(number);
    ASSERT_GE(list.size(), 3u);
    EXPECT_EQ(list.back(), SND_SAY_POINTS);
    for (int32_t index : list) {
      EXPECT_GE(index, 0);
      EXPECT_LT(index, SCORE_SOUND_COUNT);
    }
  }
}

}  // namespace
