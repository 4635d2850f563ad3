// SPDX-License-Identifier: MIT
#pragma once

#include <QCollator>
#include <QLocale>
#include <QSet>
#include <QString>
#include <QStringList>

namespace tessory {

// The base names of the WorkSpace's pairs, sorted alphabetically without regard to letter case by
// the collation of a locale, and free of names that are equal ignoring the case of A-Z (the name
// added first keeps its case). Names the collation cannot tell apart are ordered by their A-Z
// folded characters, so the order never depends on the order of adding.
class PairList {
public:
    explicit PairList(const QLocale& locale = QLocale());

    // Adds the name at its sorted place; false (and nothing changes) when a name equal to it
    // ignoring A-Z case is present.
    bool add(const QString& name);

    // The same as clearing the list and adding the names one by one in their order, but sorted
    // once, for a whole scan.
    void assign(const QStringList& names);

    void clear();

    const QStringList& names() const { return names_; }
    qsizetype size() const { return names_.size(); }
    bool isEmpty() const { return names_.isEmpty(); }
    const QString& at(qsizetype index) const { return names_.at(index); }

    // The index of the name equal to `name` ignoring A-Z case, or -1. Linear in the size: for
    // single look-ups by the commands, not for loops over a whole scan.
    qsizetype indexOf(QStringView name) const;
    bool contains(QStringView name) const { return indexOf(name) >= 0; }

private:
    struct Key {
        QString name;
        QString folded;
    };
    bool less(const Key& a, const Key& b) const;

    QCollator collator_;
    QStringList names_;
    QStringList folded_;
    QSet<QString> present_;
};

}  // namespace tessory
