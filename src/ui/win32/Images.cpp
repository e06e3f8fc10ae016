#include "ui/win32/Images.h"

#include "res/resource.h"

namespace ui_win32 {

int resourceIdOf(ui::ImageId id) {
  switch (id) {
    case ui::ImageId::None:
      return 0;
    case ui::ImageId::ModeFiles:
      return IDB_MODE_FILES;
    case ui::ImageId::ModeText:
      return IDB_MODE_TEXT;
    case ui::ImageId::ModePicture:
      return IDB_MODE_PICTURE;
    case ui::ImageId::ModeRichText:
      return IDB_MODE_RICHTEXT;
    case ui::ImageId::Resize:
      return IDB_RESIZE;
    case ui::ImageId::NewFolder:
      return IDB_NEW_FOLDER;
    case ui::ImageId::Exit:
      return IDB_EXIT;
    case ui::ImageId::AotDisabled:
      return IDB_AOT_DISABLED;
    case ui::ImageId::AotMouseMove:
      return IDB_AOT_MOUSEMOVE;
    case ui::ImageId::AotEnabled:
      return IDB_AOT_ENABLED;
    case ui::ImageId::Icon:
      return IDI_BRIMLO;
  }
  return 0;
}

}  // namespace ui_win32
