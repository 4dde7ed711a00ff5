#pragma once

#include <QList>
#include <QMap>
#include <QPointer>

// An indexed set of elements of one kind, as a skinned window holds them: member 0 is the
// hidden template, members 1, 2, ... are made from it. The window creates and removes members;
// everyone else only looks them up.
template<typename Element>
class IndexedSet
{
public:
    // Member `index`, or nullptr when the set has no such member.
    Element *operator()(int index) const { return m_members.value(index).data(); }
    bool contains(int index) const { return (*this)(index) != nullptr; }
    // The indexes in use, in increasing order (0, the template, included).
    QList<int> indexes() const
    {
        QList<int> result;
        for (auto it = m_members.cbegin(); it != m_members.cend(); ++it) {
            if (!it.value().isNull())
                result.append(it.key());
        }
        return result;
    }

private:
    friend class SkinnedWindow;
    void insert(int index, Element *element) { m_members.insert(index, element); }
    void remove(const QObject *element)
    {
        for (auto it = m_members.begin(); it != m_members.end();) {
            if (it.value().isNull() || it.value().data() == element)
                it = m_members.erase(it);
            else
                ++it;
        }
    }

    QMap<int, QPointer<Element>> m_members;
};
