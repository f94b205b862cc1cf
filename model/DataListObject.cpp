#include "DataListObject.h"

#include <algorithm>
#include <functional>
#include <limits>
#include <stdexcept>
#include <vector>

#include "Errors.h"

namespace tembrook {

TObject::~TObject() = default;

std::string TObject::ClassName() const
{
    return "TObject";
}

TCustomDataList::TCustomDataList() = default;

// Frees the array only: the objects still held stay alive, as the owner decides.
TCustomDataList::~TCustomDataList() = default;

std::string TCustomDataList::ClassName() const
{
    return "TCustomDataList";
}

void TCustomDataList::CheckIndex(std::int32_t index) const
{
    if (index < 0 || index >= Count())
        throw EListError(index);
}

TObject* TCustomDataList::GetItem(std::int32_t index) const
{
    CheckIndex(index);
    return FList[static_cast<std::size_t>(index)];
}

void TCustomDataList::SetItem(std::int32_t index, TObject* item)
{
    CheckIndex(index);
    FList[static_cast<std::size_t>(index)] = item;
}

TObject* TCustomDataList::AddNew()
{
    auto* item = new TObject;
    try {
        Add(item);
    } catch (...) {
        delete item;
        throw;
    }
    return item;
}

std::int32_t TCustomDataList::Add(TObject* item)
{
    return AppendItem(item);
}

std::int32_t TCustomDataList::AppendItem(TObject* item)
{
    // Indexes are 32-bit: a list that would outgrow them fails like one that
    // runs out of memory, before anything changes.
    if (FList.size() >= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        throw std::length_error("TCustomDataList: too many entries");
    }
    FList.push_back(item);
    return static_cast<std::int32_t>(FList.size() - 1);
}

void TCustomDataList::Clear()
{
    FList.clear();
    FList.shrink_to_fit();
}

std::int32_t TCustomDataList::Find() const
{
    return -1;
}

void TCustomDataList::Delete(std::int32_t index)
{
    TObject* item = GetItem(index);  // checks the index before anything changes
    FList.erase(FList.begin() + index);
    if (item == nullptr)
        return;
    // The same object added twice must not stay reachable once destroyed: its
    // other entries become null instead of dangling.
    std::replace(FList.begin(), FList.end(), item, static_cast<TObject*>(nullptr));
    delete item;
}

void TCustomDataList::DeleteAll()
{
    // Entries stay in place during the walk; an object held by several
    // entries is destroyed once. The duplicates are found in a sorted copy of
    // the entries (no allocation per entry, which a page of tens of thousands
    // of records would feel); each is destroyed at its first entry.
    std::vector<TObject*> items;
    items.swap(FList);
    std::vector<TObject*> sorted(items);
    std::sort(sorted.begin(), sorted.end(), std::less<TObject*>());
    if (std::adjacent_find(sorted.begin(), sorted.end()) == sorted.end()) {
        for (TObject* item : items)
            delete item;  // ascending index order; null entries delete nothing
        return;
    }
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    std::vector<bool> released(sorted.size(), false);
    for (TObject* item : items) {  // ascending index order
        if (item == nullptr)
            continue;
        const auto at = static_cast<std::size_t>(
            std::lower_bound(sorted.begin(), sorted.end(), item, std::less<TObject*>()) - sorted.begin());
        if (released[at])
            continue;
        released[at] = true;
        delete item;
    }
}

std::int32_t TCustomDataList::Count() const noexcept
{
    return static_cast<std::int32_t>(FList.size());
}

}  // namespace tembrook
