#include "values/property_link.h"

#include <gtest/gtest.h>

#include "values/property_typed_values.h"

namespace objscope {
namespace {

TEST(PropertyLink, StartsEmptyWithTheFlagSet) {
    TTarn_Property_Link link;
    EXPECT_EQ(link.Dest_Net, 0);
    EXPECT_EQ(link.Dest_Dev, 0);
    EXPECT_EQ(link.Dest_Obj, 0);
    EXPECT_EQ(link.Property(), nullptr);
    EXPECT_TRUE(link.Flag());
}

TEST(PropertyLink, AssignKeepsItsOwnPropertyObjectAndTakesTheValue) {
    TU32VEKDB2 sourceValue;
    sourceValue.SetPropertyID(0x1000);
    sourceValue.SetData(-6);
    TTarn_Property_Link source(1, 2, 3, &sourceValue);
    source.SetFlag(false);

    TU32VEKDB2 ownValue;
    TTarn_Property_Link link;
    link.SetProperty(&ownValue);
    link.Assign(source);

    EXPECT_EQ(link.Dest_Net, 1);
    EXPECT_EQ(link.Dest_Dev, 2);
    EXPECT_EQ(link.Dest_Obj, 3);
    EXPECT_FALSE(link.Flag());
    EXPECT_EQ(link.Property(), &ownValue);
    EXPECT_EQ(ownValue.GetData(), -6);
    EXPECT_EQ(ownValue.PropertyID(), 0x1000);
}

TEST(PropertyLink, AssignWithoutOwnPropertyCopiesOnlyAddressAndFlag) {
    TU32VEKDB2 sourceValue;
    TTarn_Property_Link source(4, 5, 6, &sourceValue);
    source.SetFlag(false);
    TTarn_Property_Link link;
    link.Assign(source);
    EXPECT_EQ(link.Dest_Obj, 6);
    EXPECT_FALSE(link.Flag());
    EXPECT_EQ(link.Property(), nullptr);
}

TEST(PropertyLink, AssignFromAnotherKindChangesNothing) {
    TU32VEKDB2 ownValue;
    ownValue.SetData(1);
    TTarn_Property_Link link(7, 8, 9, &ownValue);
    TU32VEKDB2 notALink;
    notALink.SetData(5);
    link.Assign(notALink);
    EXPECT_EQ(link.Dest_Net, 7);
    EXPECT_EQ(link.Dest_Dev, 8);
    EXPECT_EQ(link.Dest_Obj, 9);
    EXPECT_TRUE(link.Flag());
    EXPECT_EQ(ownValue.GetData(), 1);
}

}  // namespace
}  // namespace objscope
