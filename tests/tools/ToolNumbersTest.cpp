// The figure table and note lists read and write a point before the decimals whatever
// locale a hosted plug-in leaves the process in.
#include <gtest/gtest.h>

#include "ToolsTestSupport.h"
#include "support/CommaLocale.h"
#include "zorq-bank/FigureTable.h"
#include "zorq-render/NoteList.h"

TEST(ToolNumbers, FigureTableAndNoteListsReadTheSameInACommaDecimalLocale) {
  const std::string committed = readText(ZORQ_SOURCE_DIR "/resources/factory-bank-figures.txt");
  const char* const notes = "r:0.5, 60:0.25/7, 62@3.5:1";
  const std::vector<EventRow> events = rowsOf(NoteList::parse(notes));
  const CommaLocale comma;
  if (!comma.active()) GTEST_SKIP() << comma.reason();
  EXPECT_EQ(FigureTable::format(FigureTable::parse(committed)), committed);
  EXPECT_EQ(rowsOf(NoteList::parse(notes)), events);
}
