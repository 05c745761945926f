// The main dialog's menu as the player sees it, and the keyboard focus across deactivation.
#include "shell/main_dialog.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "runtime/host/dialog_host.h"

namespace shell {
namespace {

std::wstring MenuText(HMENU menu, UINT position) {
  wchar_t text[64] = {};
  GetMenuStringW(menu, position, text, 64, MF_BYPOSITION);
  return text;
}

TEST(MainDialogMenu, OpcionesHoldsTheThreeCommandsBetweenSeparators) {
  HWND dialog = runtime::createDialog(runtime::DialogUnits::pixels, nullptr, runtime::ByteString("Letrazul"),
                                      105, 114, 800, 618, 0x94C200D4 & ~WS_VISIBLE, WS_EX_CONTROLPARENT);
  HMENU bar = BuildMenuBar(dialog);
  EXPECT_EQ(GetMenu(dialog), bar);
  ASSERT_EQ(GetMenuItemCount(bar), 1);
  EXPECT_EQ(MenuText(bar, 0), L"Opciones");
  HMENU options = GetSubMenu(bar, 0);
  ASSERT_NE(options, nullptr);
  const struct {
    const wchar_t* text;
    UINT id;
    bool separator;
  } expected[] = {{L"Nueva Partida", 1002, false},
                  {L"", 0, true},
                  {L"Autor", 1007, false},
                  {L"", 0, true},
                  {L"Salir del programa", 1005, false}};
  ASSERT_EQ(GetMenuItemCount(options), 5);
  for (UINT i = 0; i < 5; ++i) {
    MENUITEMINFOW item{};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE;
    ASSERT_TRUE(GetMenuItemInfoW(options, i, TRUE, &item));
    EXPECT_EQ((item.fType & MFT_SEPARATOR) != 0, expected[i].separator) << i;
    EXPECT_EQ(item.fState & (MFS_DISABLED | MFS_CHECKED), 0u) << i;
    if (!expected[i].separator) {
      EXPECT_EQ(MenuText(options, i), expected[i].text);
      EXPECT_EQ(item.wID, expected[i].id);
    }
  }
  runtime::endDialog(dialog, 0);
}

TEST(MainDialogFocus, DeactivationKeepsTheFocusForTheReturn) {
  HWND dialog = runtime::createDialog(runtime::DialogUnits::pixels, nullptr, runtime::ByteString("Letrazul"),
                                      105, 114, 800, 618, 0x94C200D4, WS_EX_CONTROLPARENT);
  auto edit = [&](int y) {
    return CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, y, 50, 20, dialog, nullptr, nullptr,
                           nullptr);
  };
  HWND first = edit(0), second = edit(30);
  SetFocus(first);
  MainDialogCallback(dialog, WM_NCACTIVATE, FALSE, 0);
  SetFocus(second);
  MainDialogCallback(dialog, WM_NCACTIVATE, TRUE, 0);
  EXPECT_EQ(GetFocus(), first) << "given back";
  SetFocus(second);
  MainDialogCallback(dialog, WM_NCACTIVATE, TRUE, 0);
  EXPECT_EQ(GetFocus(), second) << "nothing pending, nothing changed";

  SetFocus(nullptr);
  MainDialogCallback(dialog, WM_NCACTIVATE, FALSE, 0);
  SetFocus(second);
  MainDialogCallback(dialog, WM_NCACTIVATE, TRUE, 0);
  EXPECT_EQ(GetFocus(), second) << "no focus at deactivation changes nothing on return";
  runtime::endDialog(dialog, 0);
}

}  // namespace
}  // namespace shell
