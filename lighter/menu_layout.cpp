#include "lighter/menu_layout.h"

#include <GL/freeglut.h>

#include <algorithm>
#include <iterator>

#include "lighter/interaction.h"

namespace {

// freeglut draws its menus in this font, and marks an entry that opens a
// submenu with an arrow as wide as this character.
void* const kMenuFont = GLUT_BITMAP_HELVETICA_18;
constexpr char kSubmenuArrowWidthOf[] = "_";

int labelWidth(const char* label, bool opensSubmenu) {
  const auto width = [](const char* text) {
    return glutBitmapLength(kMenuFont, reinterpret_cast<const unsigned char*>(text));
  };
  return width(label) + (opensSubmenu ? width(kSubmenuArrowWidthOf) : 0);
}

MenuMeasure measureEntries(const MenuEntry* entries, int count) {
  MenuMeasure m{0, glutBitmapHeight(kMenuFont), count};
  for (int i = 0; i < count; ++i)
    m.labelWidth = std::max(m.labelWidth, labelWidth(entries[i].label, false));
  return m;
}

}  // namespace

MenuMeasures measureMenus() {
  MenuMeasures all;
  all.main = {0, glutBitmapHeight(kMenuFont), static_cast<int>(std::size(kMainMenu))};
  for (const MainMenuRow& row : kMainMenu) {
    all.main.labelWidth = std::max(all.main.labelWidth, labelWidth(row.label, row.opensSubmenu));
  }
  all.flame = measureEntries(kFlameMenu, static_cast<int>(std::size(kFlameMenu)));
  all.mode = measureEntries(kModeMenu, kModeMenuEntries);
  return all;
}
