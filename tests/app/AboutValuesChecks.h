#pragma once
// The values the program's About box, AboutForm1, is made with, checked the
// same way wherever a test meets one (made on its own or by the window).

#include <gtest/gtest.h>

#include "AboutForm.h"

namespace tembrook::test {

// Owned by a form at 66,143 813x681, the window's own place.
inline void ExpectTembrookAboutValues(const TAboutForm& about)
{
    EXPECT_EQ(about.objectName(), QStringLiteral("AboutForm1"));
    EXPECT_TRUE(about.AutoPosition());
    EXPECT_EQ(about.WindowTop(), 393);
    EXPECT_EQ(about.WindowLeft(), 335);
    EXPECT_EQ(about.Style(), bsDialog);
    EXPECT_TRUE(about.Graphic().isNull());
    EXPECT_EQ(about.ApplicationTitle(), QStringLiteral("Tembrook"));
    EXPECT_TRUE(about.TitleHeader().isEmpty());
    EXPECT_EQ(about.TitleFooter(), QStringLiteral("[α version]"));
    EXPECT_EQ(about.Version(), QStringLiteral("0.10.10"));
    EXPECT_EQ(about.Copyright(), TAboutForm::DefaultCopyright());
    EXPECT_TRUE(about.LinkWebPage());
    EXPECT_TRUE(about.LinkMailTo());
    EXPECT_EQ(about.TitleFont().Font.pixelSize(), 32);
    EXPECT_EQ(about.TitleFont().Color, clWindowText);
    EXPECT_FALSE(about.OnIconClick());
}

}  // namespace tembrook::test
