#include "BookDataUnit.h"

#include <utility>

#include "Errors.h"
#include "SjisString.h"

namespace tembrook {

std::string TPersistent::ClassName() const
{
    return "TPersistent";
}

void TPersistent::Assign(const TPersistent* source)
{
    if (source == nullptr)
        throw EConvertError::CannotAssign("nil", ClassName());
    source->AssignTo(this);
}

void TPersistent::AssignTo(TPersistent* target) const
{
    throw EConvertError::CannotAssign(ClassName(), target->ClassName());
}

TBookSaleRootData::TBookSaleRootData()
    : FDateKind(TSaleDateKind::dkExactDay), FSaleDate(0), FVolume(-1), FPrice(TCurrency::FromUnits(-1)),
      FExtraFlag(0)
{
}

std::string TBookSaleRootData::ClassName() const
{
    return "TBookSaleRootData";
}

void TBookSaleRootData::Assign(const TPersistent* source)
{
    if (const auto* record = dynamic_cast<const TBookSaleRootData*>(source)) {
        if (record == this)
            return;
        FDateKind = record->FDateKind;
        FSaleDate = record->FSaleDate;
        FTitle = record->FTitle;
        FVolume = record->FVolume;
        FAuthor = record->FAuthor;
        FPrice = record->FPrice;
        FExtraFlag = record->FExtraFlag;
        return;
    }
    TPersistent::Assign(source);
}

void TBookSaleRootData::SetSaleDate(TDateTime value)
{
    FSaleDate = value;
}
void TBookSaleRootData::SetDateKind(TSaleDateKind value)
{
    FDateKind = value;
}
void TBookSaleRootData::SetAuthor(std::string value)
{
    FAuthor = Trim(value);
}
void TBookSaleRootData::SetTitle(std::string value)
{
    FTitle = Trim(value);
}
void TBookSaleRootData::SetExtraFlag(std::uint8_t value)
{
    FExtraFlag = value;
}
void TBookSaleRootData::SetPrice(TCurrency value)
{
    FPrice = value;
}
void TBookSaleRootData::SetVolume(std::int32_t value)
{
    FVolume = value;
}

std::string TBookSaleList::ClassName() const
{
    return "TBookSaleList";
}

std::int32_t TBookSaleList::Add(TBookSaleRootData* item)
{
    return AppendItem(item);
}

TBookSaleRootData* TBookSaleList::Items(std::int32_t index) const
{
    return dynamic_cast<TBookSaleRootData*>(GetItem(index));
}

}  // namespace tembrook
