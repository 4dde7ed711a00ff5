#pragma once

#include <QHash>
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
    void insert(int index, Element *element)
    {
        m_members.insert(index, element);
        m_indexOf.insert(element, index);
    }
    // Found through the element rather than by walking the set: a window of thousands of
    // elements removes them all when it closes.
    void remove(const QObject *element)
    {
        const auto found = m_indexOf.constFind(element);
        if (found == m_indexOf.cend())
            return;
        const auto member = m_members.constFind(found.value());
        if (member != m_members.cend() && member.value().data() == element)
            m_members.erase(member);
        m_indexOf.erase(found);
    }

    QMap<int, QPointer<Element>> m_members;
    QHash<const QObject *, int> m_indexOf;
};
