#pragma once
// TObject is the root of the record and list classes: a virtual destructor
// and the class name used in error messages. Objects of this hierarchy are
// not copyable; records are copied with Assign.
//
// TCustomDataList is a list of TObject pointers that owns its entries for
// deletion: Delete and DeleteAll destroy the objects they remove, Clear and
// SetItem do not, and the destructor frees only the list itself (an owner
// that wants the objects gone calls DeleteAll first). Null entries are
// allowed and never destroyed. An index outside 0..Count()-1 throws
// EListError ("List index out of bounds (%d)") and changes nothing.

#include <cstdint>
#include <string>
#include <vector>

namespace tembrook {

class TObject {
public:
    TObject() = default;
    virtual ~TObject();
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;

    virtual std::string ClassName() const;
};

class TCustomDataList : public TObject {
public:
    TCustomDataList();
    ~TCustomDataList() override;

    std::string ClassName() const override;

    virtual TObject* GetItem(std::int32_t index) const;
    // Replaces the entry; the object stored there before is not destroyed.
    virtual void SetItem(std::int32_t index, TObject* item);
    // Creates a plain TObject, appends it and returns it.
    virtual TObject* AddNew();
    // Appends item (null allowed) and returns its index.
    virtual std::int32_t Add(TObject* item);
    // Empties the list without destroying any object.
    virtual void Clear();
    // Lookup hook; the base knows no key and always answers -1.
    virtual std::int32_t Find() const;
    // Destroys the entry's object (unless null) and removes the entry.
    virtual void Delete(std::int32_t index);
    // Destroys every non-null entry, then empties the list.
    virtual void DeleteAll();

    std::int32_t Count() const noexcept;

protected:
    // Appends without going through the virtual Add (for typed subclasses).
    std::int32_t AppendItem(TObject* item);
    // Throws EListError unless 0 <= index < Count().
    void CheckIndex(std::int32_t index) const;

private:
    std::vector<TObject*> FList;
};

}  // namespace tembrook
