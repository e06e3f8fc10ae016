#include "ui/win32/CommonControls.h"

#include "platform/win32/Adapters.h"

namespace ui_win32::commonControls {

namespace {

struct Library {
  decltype(&SetWindowSubclass) set = nullptr;
  decltype(&RemoveWindowSubclass) remove = nullptr;
  decltype(&DefSubclassProc) forward = nullptr;
};

// By name, else by the number older versions of the library export it under alone.
template <class Function>
Function find(HMODULE library, const char* name, WORD ordinal) {
  const auto found = win32::moduleFunction<Function>(library, name);
  return found || ordinal == 0
             ? found
             : win32::moduleFunction<Function>(library, MAKEINTRESOURCEA(ordinal));
}

const Library& library() {
  static const Library loaded = [] {
    Library l;
    const HMODULE module = LoadLibraryW(L"comctl32.dll");
    if (module == nullptr)
      return l;
    l.set = find<decltype(l.set)>(module, "SetWindowSubclass", 410);
    l.remove = find<decltype(l.remove)>(module, "RemoveWindowSubclass", 412);
    l.forward = find<decltype(l.forward)>(module, "DefSubclassProc", 413);
    if (const auto init =
            find<decltype(&InitCommonControlsEx)>(module, "InitCommonControlsEx", 0)) {
      INITCOMMONCONTROLSEX classes{sizeof classes, ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
      init(&classes);
    }
    return l;
  }();
  return loaded;
}

}  // namespace

bool load() {
  return library().set != nullptr;
}

BOOL setWindowSubclass(HWND hwnd, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR data) {
  return library().set ? library().set(hwnd, proc, id, data) : FALSE;
}

BOOL removeWindowSubclass(HWND hwnd, SUBCLASSPROC proc, UINT_PTR id) {
  return library().remove ? library().remove(hwnd, proc, id) : FALSE;
}

LRESULT defSubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  return library().forward ? library().forward(hwnd, msg, wp, lp)
                           : DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace ui_win32::commonControls
