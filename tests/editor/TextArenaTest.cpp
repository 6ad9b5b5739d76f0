#include "editor/TextArena.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace plomaret {
namespace {

struct TStored {
  TTextRef Ref;
  std::string Text;
  uint32_t Extras;
};

void ExpectIntact(const TTextArena& arena, const std::vector<TStored>& stored) {
  for (const TStored& s : stored) {
    ASSERT_EQ(arena.View(s.Ref), s.Text);
    ASSERT_EQ(arena.View(s.Ref).data()[s.Text.size()], '\0') << "scanners rely on the zero byte";
    ASSERT_EQ(arena.Extras(s.Ref), s.Extras);
  }
}

// Every header form (short, long, with extras), chunks of every size up to several
// slots, and texts on both sides of a slot's edge all read back as stored.
TEST(TextArenaTest, EveryTextReadsBackAsStoredAcrossChunksAndSlots) {
  TTextArena arena;
  EXPECT_EQ(arena.Store(""), kEmptyTextRef);
  EXPECT_EQ(arena.View(kEmptyTextRef), "");
  EXPECT_EQ(arena.Extras(kEmptyTextRef), 0u);
  std::mt19937 random(7);
  std::vector<TStored> stored;
  const size_t lengths[] = {0, 1, 126, 127, 128, 129, 255, 65536, (1u << 20) - 3, (1u << 20) + 5, (3u << 20) + 1};
  for (int round = 0; round < 3000; ++round) {
    const size_t length = round % 50 == 0 ? lengths[static_cast<size_t>(round / 50) % std::size(lengths)]
                                          : random() % 200;
    std::string text(length, 'a');
    for (size_t i = 0; i < length; i += 97) text[i] = static_cast<char>('a' + random() % 26);
    const uint32_t extras = random() % 4 == 0 ? static_cast<uint32_t>(random()) | 1u : 0u;
    const TTextRef ref = arena.Store(text, extras);
    EXPECT_TRUE(ref != kEmptyTextRef || (text.empty() && extras == 0));
    stored.push_back({ref, std::move(text), extras});
  }
  ExpectIntact(arena, stored);  // nothing stored later moved anything stored earlier
  EXPECT_EQ(arena.GarbageBytes(), 0u);
}

TEST(TextArenaTest, ReleasedTextsCountAsGarbageUntilReset) {
  TTextArena arena;
  const TTextRef shortText = arena.Store("abc");
  const TTextRef longText = arena.Store(std::string(300, 'x'), 9);
  const size_t live = arena.LiveBytes();
  EXPECT_GE(live, 3u + 300u + 2u);
  arena.Release(shortText);
  arena.Release(kEmptyTextRef);  // the empty text takes no room
  const size_t afterShort = arena.GarbageBytes();
  EXPECT_GT(afterShort, 3u);
  arena.Release(longText);
  EXPECT_EQ(arena.LiveBytes(), 0u);
  EXPECT_EQ(arena.GarbageBytes(), live);
  arena.Reset();
  EXPECT_EQ(arena.GarbageBytes(), 0u);
  EXPECT_EQ(arena.View(arena.Store("again")), "again");
}

// A text written over a stored one takes its place when it fits; the bytes it leaves
// are garbage. Writing over a text with extras keeps them, or is refused.
TEST(TextArenaTest, TextsAreWrittenOverWhereTheyFit) {
  TTextArena arena;
  const TTextRef shortText = arena.Store("abcdef");
  const TTextRef longText = arena.Store(std::string(300, 'x'));
  const TTextRef withExtras = arena.Store(std::string(200, 'y'), 5);
  EXPECT_TRUE(arena.OverwriteIfRoom(shortText, "abc"));
  EXPECT_FALSE(arena.OverwriteIfRoom(shortText, "abcd")) << "the room is what is stored now";
  EXPECT_FALSE(arena.OverwriteIfRoom(shortText, "")) << "an empty text needs no room";
  EXPECT_TRUE(arena.OverwriteIfRoom(longText, std::string(299, 'z')));
  EXPECT_FALSE(arena.OverwriteIfRoom(withExtras, "y"));
  EXPECT_FALSE(arena.OverwriteIfRoom(kEmptyTextRef, "a"));
  EXPECT_EQ(arena.GarbageBytes(), 3u + 1u);
  arena.Overwrite(withExtras, "yy");
  EXPECT_THROW(arena.Overwrite(withExtras, "yyy"), std::logic_error);
  ExpectIntact(arena, {{shortText, "abc", 0}, {longText, std::string(299, 'z'), 0}, {withExtras, "yy", 5}});
  EXPECT_EQ(arena.GarbageBytes(), 3u + 1u + 198u);
}

// A reserved chunk larger than a slot takes the texts of a whole load.
TEST(TextArenaTest, ReservedRoomHoldsManyTextsAcrossSlotEdges) {
  TTextArena arena;
  arena.Reserve(5u << 20);
  std::vector<TStored> stored;
  for (int i = 0; i < 200000; ++i) {
    std::string text = std::to_string(i * 7919) + ";" + std::string(static_cast<size_t>(i % 23), 'q');
    stored.push_back({arena.Store(text), std::move(text), 0});
  }
  ExpectIntact(arena, stored);
  TTextArena moved = std::move(arena);
  ExpectIntact(moved, stored);
}

}  // namespace
}  // namespace plomaret
