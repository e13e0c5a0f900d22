#include "web/menus.h"

namespace web {

namespace {

// Submenus deeper than this are left out: a menu that contains itself would
// otherwise never end.
constexpr int kMaxDepth = 8;

void appendJsonString(const std::string& text, std::string& out) {
  out += '"';
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      out += ' ';  // no control characters in a menu label
    } else {
      out += c;
    }
  }
  out += '"';
}

}  // namespace

int MenuRegistry::create(MenuCallback callback) {
  menus_.push_back(Menu{callback, {}});
  current_ = static_cast<int>(menus_.size());
  return current_;
}

const Menu* MenuRegistry::find(int menu) const {
  if (menu < 1 || static_cast<std::size_t>(menu) > menus_.size()) return nullptr;
  return &menus_[static_cast<std::size_t>(menu - 1)];
}

void MenuRegistry::addEntry(const char* label, int value) {
  if (find(current_) == nullptr) return;
  menus_[static_cast<std::size_t>(current_ - 1)].items.push_back(MenuItem{label, value, 0});
}

void MenuRegistry::addSubMenu(const char* label, int subMenu) {
  if (find(current_) == nullptr || find(subMenu) == nullptr) return;
  menus_[static_cast<std::size_t>(current_ - 1)].items.push_back(MenuItem{label, 0, subMenu});
}

bool MenuRegistry::choose(int menu, int value) const {
  const Menu* m = find(menu);
  if (m == nullptr || m->callback == nullptr) return false;
  for (const MenuItem& item : m->items) {
    if (item.subMenu == 0 && item.value == value) {
      m->callback(value);
      return true;
    }
  }
  return false;
}

void MenuRegistry::describe(int menu, int depth, std::string& out) const {
  out += '[';
  const Menu* m = find(menu);
  if (m == nullptr) {
    out += ']';
    return;
  }
  bool first = true;
  for (const MenuItem& item : m->items) {
    if (item.subMenu != 0 && depth >= kMaxDepth) continue;
    if (!first) out += ',';
    first = false;
    out += "{\"label\":";
    appendJsonString(item.label, out);
    if (item.subMenu != 0) {
      out += ",\"items\":";
      describe(item.subMenu, depth + 1, out);
    } else {
      out += ",\"menu\":" + std::to_string(menu) + ",\"value\":" + std::to_string(item.value);
    }
    out += '}';
  }
  out += ']';
}

std::string MenuRegistry::describeAttached() const {
  std::string out;
  describe(attached_, 0, out);
  return out;
}

}  // namespace web
