#include "screens/RosterList.h"

#include "core/ArchiveFile.h"
#include "core/ScrollList.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "world/PaneText.h"
#include "world/Interface.h"

DirHandle_C openRoster()
{
    return saveFile ? saveFile->openDir("hall") : DirHandle_C();
}

std::unique_ptr<bl3dPartyChar> loadRosterChar(ArchiveDir_C& roster, const char* name)
{
    std::unique_ptr<Storable_C> record = roster.load(name);
    auto* member = dynamic_cast<bl3dPartyChar*>(record.get());
    if (!member)
        return nullptr;
    record.release();
    return std::unique_ptr<bl3dPartyChar>(member);
}

bool isMonsterClass(int32_t classId)
{
    return (classId & (CLASS_JOINED | CLASS_SUMMONED)) != 0;
}

void RosterList_S::reset(Interface_C& iface)
{
    PaneText_C pane(iface);
    list = std::make_unique<ScrollList_C>(&iface.text(), pane.left(), pane.right(), pane.lineY(3), pane.lineY(-3));
    names.clear();
}

void RosterList_S::add(const std::string& name, bool selectable, const std::string& text)
{
    names.push_back(name);
    const bool inParty = party && party->hasMember(name.c_str());
    list->addLine(text.empty() ? name.c_str() : text.c_str(), static_cast<int>(names.size()),
                  selectable && !inParty);
}

std::string RosterList_S::selectedName() const
{
    const int v = list ? list->selectedValue() : 0;
    return v >= 1 && static_cast<size_t>(v) <= names.size() ? names[static_cast<size_t>(v) - 1] : std::string();
}

bool RosterList_S::anySelectable() const
{
    return list && list->selectedValue() != 0;
}

void RosterList_S::clear()
{
    list.reset();
    names.clear();
}
