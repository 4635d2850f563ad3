// SPDX-License-Identifier: MIT
#include "workspace/pair_list.h"

#include "workspace/name_rules.h"

#include <algorithm>
#include <vector>

namespace tessory {

PairList::PairList(const QLocale& locale) : collator_(locale) {
    collator_.setCaseSensitivity(Qt::CaseInsensitive);
}

bool PairList::less(const Key& a, const Key& b) const {
    // Sort keys would be faster, but in the C locale Qt builds them case-sensitively while
    // compare() ignores case, so compare() is the one rule used everywhere.
    const int order = collator_.compare(a.name, b.name);
    if (order != 0) {
        return order < 0;
    }
    return a.folded < b.folded;
}

bool PairList::add(const QString& name) {
    Key key{name, foldAsciiCase(name)};
    if (present_.contains(key.folded)) {
        return false;
    }
    qsizetype low = 0;
    qsizetype high = names_.size();
    while (low < high) {
        const qsizetype mid = low + (high - low) / 2;
        if (less(Key{names_[mid], folded_[mid]}, key)) {
            low = mid + 1;
        } else {
            high = mid;
        }
    }
    present_.insert(key.folded);
    names_.insert(low, key.name);
    folded_.insert(low, key.folded);
    return true;
}

void PairList::assign(const QStringList& names) {
    clear();
    std::vector<Key> keys;
    keys.reserve(names.size());
    present_.reserve(names.size());
    for (const QString& name : names) {
        QString folded = foldAsciiCase(name);
        if (!present_.contains(folded)) {
            present_.insert(folded);
            keys.push_back(Key{name, std::move(folded)});
        }
    }
    std::sort(keys.begin(), keys.end(), [this](const Key& a, const Key& b) { return less(a, b); });
    names_.reserve(qsizetype(keys.size()));
    folded_.reserve(qsizetype(keys.size()));
    for (Key& key : keys) {
        names_.append(std::move(key.name));
        folded_.append(std::move(key.folded));
    }
}

void PairList::clear() {
    names_.clear();
    folded_.clear();
    present_.clear();
}

qsizetype PairList::indexOf(QStringView name) const {
    const QString folded = foldAsciiCase(name);
    if (!present_.contains(folded)) {
        return -1;
    }
    return folded_.indexOf(folded);
}

}  // namespace tessory
