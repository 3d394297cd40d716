#include "zorq-render/NoteList.h"

#include <gtest/gtest.h>

#include "ToolsTestSupport.h"
#include "zorq-render/RenderError.h"

// Note-ons then their note-offs in time order; a repeated note is released before it
// starts again. Bad entries are refused.
TEST(NoteList, GivesNoteOnsAndOffsInTimeOrderOrRefusesBadEntries) {
  const std::pair<const char*, std::vector<EventRow>> cases[] = {
      {"C3+E3:2, G3",  // defaults: velocity 100, one second, one after the other
       {{0, 0x90, 48, 100},
        {0, 0x90, 52, 100},
        {2, 0x80, 48, 0},
        {2, 0x80, 52, 0},
        {2, 0x90, 55, 100},
        {3, 0x80, 55, 0}}},
      {"r:0.5, 60:0.25/7, 62@3:1",
       {{0.5, 0x90, 60, 7}, {0.75, 0x80, 60, 0}, {3, 0x90, 62, 100}, {4, 0x80, 62, 0}}},
      {"C4:1, C4:1", {{0, 0x90, 60, 100}, {1, 0x80, 60, 0}, {1, 0x90, 60, 100}, {2, 0x80, 60, 0}}},
  };
  for (const auto& [text, rows] : cases) EXPECT_EQ(rowsOf(NoteList::parse(text)), rows) << text;
  for (const char* bad :
       {"", "C4,", "C4:0", "C4@-1", "C4/0", "C4/128", "C4/1.5", "C4+", "C4@nan", "C4:inf"})
    EXPECT_THROW(NoteList::parse(bad), RenderError) << bad;
}
