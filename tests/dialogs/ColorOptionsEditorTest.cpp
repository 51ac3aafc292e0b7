#include <gtest/gtest.h>

#include "dialogs/ColorOptionsEditor.h"

namespace {

// Each list selects by the case-insensitive prefix of its field; a field
// that matches nothing shows no selection and stays as it was. A pick
// changes the field of its own list only; a name that is no entry is ignored.
TEST(ColorOptionsEditor, ListsSelectByPrefixAndPicksChangeTheirOwnField) {
  CColorOptionsEditor editor;
  editor.team1NameColor = "red";
  editor.team2NameColor = "dim g";
  editor.team1ScoreColor = "Purple";
  editor.Open();
  EXPECT_EQ(editor.Selection(ColorList::Team1Name), "Red");
  EXPECT_EQ(editor.Selection(ColorList::Team2Name), "Dim Green");
  EXPECT_EQ(editor.Selection(ColorList::Team1Score), "");
  EXPECT_EQ(editor.Selection(ColorList::Team2Score), "") << "an empty field matches nothing";
  EXPECT_EQ(editor.team2NameColor, "dim g") << "opening changes no field";

  editor.Choose(ColorList::Team2Score, "Yellow");
  editor.Choose(ColorList::Team1Name, "Purple");
  EXPECT_EQ(std::tie(editor.team1NameColor, editor.team2NameColor, editor.team1ScoreColor,
                     editor.team2ScoreColor),
            std::make_tuple("red", "dim g", "Purple", "Yellow"));
  EXPECT_EQ(editor.Selection(ColorList::Team2Score), "Yellow");
  EXPECT_EQ(editor.Selection(ColorList::Team1Name), "Red");
}

}  // namespace
