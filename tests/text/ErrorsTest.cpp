// The error types carry the runtime's messages and can be caught by family.

#include <gtest/gtest.h>

#include <string>

#include "Errors.h"

namespace {

TEST(Errors, MessagesAreExact)
{
    EXPECT_STREQ(tembrook::EListError(3).what(), "List index out of bounds (3)");
    EXPECT_STREQ(tembrook::EListError(-1).what(), "List index out of bounds (-1)");
    EXPECT_EQ(tembrook::EListError(7).Index(), 7);
    EXPECT_STREQ(tembrook::EConvertError::InvalidInteger("3/").what(), "'3/' is not a valid integer value");
    EXPECT_STREQ(tembrook::EConvertError::InvalidInteger("\x95\x73").what(),  // 不
                 "'\x95\x73' is not a valid integer value");
    EXPECT_STREQ(tembrook::EConvertError::InvalidDateEncode().what(), "Invalid argument to date encode");
    EXPECT_STREQ(tembrook::EConvertError::CannotAssign("nil", "THtmlBookSaleData").what(),
                 "Cannot assign a nil to a THtmlBookSaleData");
    EXPECT_STREQ(tembrook::EFCreateError("/x/list.txt").what(), "Cannot create file /x/list.txt");
    EXPECT_STREQ(tembrook::EWriteError().what(), "Stream write error");
}

TEST(Errors, CaughtAsTheirFamily)
{
    const auto throwsAs = [](auto raise) -> std::string {
        try {
            raise();
        } catch (const tembrook::EListError&) {
            return "list";
        } catch (const tembrook::EConvertError&) {
            return "convert";
        } catch (const tembrook::ETembrookError&) {
            return "core";
        }
        return "none";
    };
    EXPECT_EQ(throwsAs([] { throw tembrook::EListError(1); }), "list");
    EXPECT_EQ(throwsAs([] { throw tembrook::EConvertError::InvalidDateEncode(); }), "convert");
    EXPECT_EQ(throwsAs([] { throw tembrook::EWriteError(); }), "core");
    EXPECT_EQ(throwsAs([] { throw tembrook::EFCreateError("f"); }), "core");
    try {
        throw tembrook::EWriteError();
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Stream write error");
    }
}

}  // namespace
