#pragma once
// The release record base and the list that holds records.
//
// TPersistent gives objects an Assign: copy the state of another object.
// Its default fails with EConvertError "Cannot assign a %s to a %s" (source
// class name, or "nil" for no source; target class name) unless the source
// knows how to assign itself to the target (AssignTo).
//
// TBookSaleRootData holds the fields common to any source of release data,
// each with a virtual setter that subclasses may specialise (the HTML record
// parses its title in SetTitle). TBookSaleList is a TCustomDataList of such
// records with typed Add and Items.

#include <compare>
#include <cstdint>
#include <string>

#include "DataListObject.h"
#include "DateUtils.h"

namespace tembrook {

class TPersistent : public TObject {
public:
    std::string ClassName() const override;
    // Copies the state of source into this object; source may be null.
    virtual void Assign(const TPersistent* source);

protected:
    // Called by Assign on the source when the target does not know the
    // source's class; the default fails with "Cannot assign a %s to a %s".
    virtual void AssignTo(TPersistent* target) const;
};

// Precision of a record's SaleDate. One byte, values as stored.
enum class TSaleDateKind : std::uint8_t {
    dkExactDay = 0,    // the exact day is known
    dkEarlyMonth = 1,  // early part of the month
    dkMidMonth = 2,    // middle of the month
    dkLateMonth = 3,   // late part of the month
    dkUnknown = 4,     // unknown
};

// A money amount as a 64-bit count of 1/10,000 units (580 is raw 5,800,000).
// Build it with FromUnits(whole units) or FromRaw(raw value); a price of -1
// whole units (raw -10,000) means "no price given".
class TCurrency {
public:
    static constexpr std::int64_t kScale = 10000;

    constexpr TCurrency() = default;
    static constexpr TCurrency FromRaw(std::int64_t raw) noexcept { return TCurrency(raw); }
    // Saturates at the int64 range instead of overflowing.
    static constexpr TCurrency FromUnits(std::int64_t units) noexcept
    {
        constexpr std::int64_t kMax = INT64_MAX / kScale;
        if (units > kMax)
            return TCurrency(INT64_MAX);
        if (units < -kMax)
            return TCurrency(INT64_MIN);
        return TCurrency(units * kScale);
    }

    constexpr std::int64_t Raw() const noexcept { return FRaw; }
    // The amount in whole units (fractions kept).
    constexpr double Units() const noexcept { return static_cast<double>(FRaw) / kScale; }

    friend constexpr bool operator==(TCurrency, TCurrency) = default;
    friend constexpr auto operator<=>(TCurrency, TCurrency) = default;

private:
    constexpr explicit TCurrency(std::int64_t raw) noexcept : FRaw(raw) {}
    std::int64_t FRaw = 0;
};

class TBookSaleRootData : public TPersistent {
public:
    // Defaults: dkExactDay, date 0 (1899-12-30), empty texts, volume -1,
    // price -1 whole units, flag 0.
    TBookSaleRootData();

    std::string ClassName() const override;
    // From another TBookSaleRootData: copies the seven fields directly (no
    // setters); otherwise as TPersistent.
    void Assign(const TPersistent* source) override;

    TSaleDateKind DateKind() const noexcept { return FDateKind; }
    TDateTime SaleDate() const noexcept { return FSaleDate; }
    const std::string& Title() const noexcept { return FTitle; }
    const std::string& Author() const noexcept { return FAuthor; }
    std::int32_t Volume() const noexcept { return FVolume; }
    // The raw currency; Price().Units() gives whole units.
    TCurrency Price() const noexcept { return FPrice; }
    // The price in whole units (-1 for "no price").
    double PriceUnits() const noexcept { return FPrice.Units(); }
    std::uint8_t ExtraFlag() const noexcept { return FExtraFlag; }

    virtual void SetSaleDate(TDateTime value);
    virtual void SetDateKind(TSaleDateKind value);
    // Stores the text trimmed of bytes 0x20 and below at both ends.
    virtual void SetAuthor(std::string value);
    // Stores the text trimmed of bytes 0x20 and below at both ends.
    virtual void SetTitle(std::string value);
    virtual void SetExtraFlag(std::uint8_t value);
    virtual void SetPrice(TCurrency value);
    virtual void SetVolume(std::int32_t value);

protected:
    TSaleDateKind FDateKind;
    TDateTime FSaleDate;
    std::string FTitle;
    std::string FAuthor;
    std::int32_t FVolume;
    TCurrency FPrice;
    std::uint8_t FExtraFlag;
};

class TBookSaleList : public TCustomDataList {
public:
    std::string ClassName() const override;

    using TCustomDataList::Add;
    // Appends the record (null allowed) directly and returns its index.
    std::int32_t Add(TBookSaleRootData* item);
    // The record at index (EListError outside 0..Count()-1). A null entry, or
    // an entry that is not a release record, gives nullptr.
    TBookSaleRootData* Items(std::int32_t index) const;
};

}  // namespace tembrook
