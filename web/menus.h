// GLUT's pop-up menus as plain records: the web build's GLUT has none, so the
// web adapter keeps the menus the program builds here, the page draws them as
// an HTML menu and a choice calls the program's own menu callback.
#pragma once

#include <string>
#include <vector>

namespace web {

using MenuCallback = void (*)(int value);

// An entry calls its menu's callback with `value`; a submenu item opens the
// menu `subMenu` (GLUT's menu numbers start at 1).
struct MenuItem {
  std::string label;
  int value = 0;
  int subMenu = 0;  // 0: an entry
};

struct Menu {
  MenuCallback callback = nullptr;
  std::vector<MenuItem> items;
};

class MenuRegistry {
 public:
  // GLUT's glutCreateMenu: a new menu, made current; returns its number.
  int create(MenuCallback callback);
  // Add to the current menu; without one GLUT ignores them, so does this.
  void addEntry(const char* label, int value);
  void addSubMenu(const char* label, int subMenu);
  // The current menu becomes the one the page shows.
  void attachCurrent() { attached_ = current_; }
  const Menu* current() const { return find(current_); }

  // Calls the callback of menu `menu` with `value` if that menu has such an
  // entry; false (nothing called) otherwise.
  bool choose(int menu, int value) const;

  // The attached menu, its submenus inside it, as JSON for the page:
  // [{"label": L, "menu": M, "value": V} or {"label": L, "items": [...]}].
  std::string describeAttached() const;

 private:
  const Menu* find(int menu) const;
  void describe(int menu, int depth, std::string& out) const;

  std::vector<Menu> menus_;
  int current_ = 0;
  int attached_ = 0;
};

}  // namespace web
