// What the dialog takes from its resources and its template: the icon, and
// lists that keep their rows in the order they are added.
#include <gtest/gtest.h>

#include <windows.h>

#include "tests/ui/DialogFixture.h"
#include "ui/resource.h"

namespace {

using Resources = DialogTest;

TEST_F(Resources, IconIsSetBigAndSmallAndServesAsDragIcon)
{
    Open();
    ASSERT_NE(dialog->AppIcon, nullptr);
    EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageA(Dialog(), WM_GETICON, ICON_BIG, 0)), dialog->AppIcon);
    EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageA(Dialog(), WM_GETICON, ICON_SMALL, 0)), dialog->AppIcon);
    EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageA(Dialog(), WM_QUERYDRAGICON, 0, 0)), dialog->AppIcon);
}

// Row k shows entry k only while neither list sorts its rows.
TEST_F(Resources, NeitherListSorts)
{
    Open();
    for (const int id : {IDC_NEW_LIST, IDC_INSTALLED_LIST})
        EXPECT_EQ(::GetWindowLongPtrA(Item(id), GWL_STYLE) & LBS_SORT, 0) << id;
}

}  // namespace
