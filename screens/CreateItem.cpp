#include "screens/CreateItem.h"

#include "core/ModalLoop.h"
#include "core/MouseRegions.h"
#include "core/ScrollList.h"
#include "platform/Random.h"
#include "rules/Item.h"
#include "rules/ItemCreate.h"
#include "rules/ItemList.h"
#include "rules/ItemType.h"
#include "rules/PartyChar.h"
#include "rules/Recipe.h"
#include "screens/InvChooser.h"
#include "screens/InvLines.h"
#include "rules/Inventory.h"
#include "world/PaneText.h"
#include "world/Interface.h"

#include <cassert>
#include <SDL.h>

#include <cstdio>
#include <memory>
#include <string>

namespace {

struct CreateScreen_S {
    int state = 0;
    Interface_C* iface = nullptr;
    bl3dPartyChar* builder = nullptr;
    std::unique_ptr<ScrollList_C> kinds;
    std::unique_ptr<ScrollList_C> taken;
    std::vector<Ingredient_S> itemCreateList;
    bl3dItemType* created = nullptr;
};

CreateScreen_S& S()
{
    static CreateScreen_S screen;
    return screen;
}

std::unique_ptr<ScrollList_C> newList(Interface_C& iface)
{
    PaneText_C pane(iface);
    return std::make_unique<ScrollList_C>(&iface.text(), pane.left(), pane.right(), pane.lineY(3), pane.lineY(-3));
}

// Fills the kinds list: every kind, or those the builder has a skill for.
void fillKinds(bl3dPartyChar* builder)
{
    CreateScreen_S& s = S();
    s.kinds = newList(*s.iface);
    for (size_t i = 0; i < itemCreate.size(); ++i)
        if (!builder || builder->getCreateAbility(&itemCreate[i]) != 0)
            s.kinds->addLine(itemCreate[i].getName(), static_cast<int>(i), true);
}

// The kind chosen on the kind page; null when none is selected.
const ItemCreate_S* chosenKind()
{
    CreateScreen_S& s = S();
    if (!s.kinds || s.kinds->selected() < 0)
        return nullptr;
    const int k = s.kinds->selectedValue();
    return k >= 0 && static_cast<size_t>(k) < itemCreate.size() ? &itemCreate[size_t(k)] : nullptr;
}

void putBack(Ingredient_S& ing)
{
    bl3dItem* item = ing.item;
    bl3dPartyChar* owner = ing.owner;
    ing.item = nullptr;
    if (!item)
        return;
    // Every taken item has its owner; without one there is nobody to give
    // it back to, and destroying it could destroy an item someone holds.
    assert(owner && "an ingredient taken from nobody");
    if (!owner)
        return;
    if (ing.from >= 0 && ing.from < SLOT_COUNT) {
        if (owner->putInSlot(ing.from, item))
            return;
        const uint32_t mask = static_cast<uint32_t>(item->getSlotMask()) & ALL_SLOTS_MASK;
        for (BitIter_C bit(mask); !bit.done(); bit.next())
            if (owner->putInSlot(bit.index(), item))
                return;
    }
    owner->getPack()->pushFront(item);
}

void putAllBack()
{
    for (Ingredient_S& ing : S().itemCreateList)
        putBack(ing);
    S().itemCreateList.clear();
}

void message(const char* text)
{
    if (S().iface)
        paneMessage(*S().iface, text, &CreateItem_C::redrawView);
}

// 'c': the ingredients go into a recipe (those that are ingredients are used
// up), the recipe is matched and the roll decides.
void create()
{
    CreateScreen_S& s = S();
    const ItemCreate_S* kind = chosenKind();
    if (!kind)
        return;
    bl3dRecipe gathered;
    gathered.setId(s.kinds->selectedValue());
    for (Ingredient_S& ing : s.itemCreateList) {
        if (!ing.item || !ing.item->getType())
            continue;
        bool used = false;
        for (const ItemEffect_S& e : ing.item->getType()->getEffects())
            if (e.kind == IEFFECT_INGREDIENT) {
                gathered.addIngredient(e.value, e.text.c_str());
                used = true;
            }
        if (used) {
            delete ing.item;
            ing.item = nullptr;
        }
    }
    bl3dItemType* type = masterITL.findByRecipe(&gathered);
    if (!type) {
        message(kind->noMatchText.c_str());
        s.state = CreateItem_C::DONE;
        return;
    }
    const int roll = vell::gameRand() % 30 + 1;
    const int skill = s.builder ? s.builder->getCreateAbility(kind) : 0;
    if (roll != 1 && roll + skill - gathered.totalCount() >= CreateItem_C::kSuccessMargin) {
        s.created = type;
        s.state = CreateItem_C::TAKE_ITEM;
        return;
    }
    message(kind->failText.c_str());
    s.state = CreateItem_C::DONE;
}

// F1-F8 on the ingredients page: an item of that member through the chooser.
void takeIngredient(bl3dPartyChar* owner)
{
    CreateScreen_S& s = S();
    InvChooser_C chooser(owner, &CreateItem_C::redrawView);
    const int pos = chooser.run(s.iface, false, false);
    if (pos < 0)
        return;
    int from = -1;
    bl3dItem* item = takeItemAt(*owner, pos, &from);
    if (!item)
        return;
    s.itemCreateList.push_back({item, owner, from});
    RefStr_C name;
    item->getDisplayName(name);
    s.taken->addLine(name.c_str(), s.taken->getNumLines(), true);
}

bool handle(int sym)
{
    CreateScreen_S& s = S();
    bl3dPartyChar* m = memberForKey(sym);
    switch (s.state) {
    case CreateItem_C::CHOOSE_BUILDER:
        if (sym == SDLK_ESCAPE) {
            s.state = CreateItem_C::DONE;
            return true;
        }
        if (!m)
            return false;
        s.builder = m;
        fillKinds(m);
        if (s.kinds->getNumLines() > 0) {
            s.state = CreateItem_C::CHOOSE_KIND;
        } else {
            const std::string text = std::string(m->getName()) + " has no skill for creating items.";
            message(text.c_str());
        }
        return true;
    case CreateItem_C::CHOOSE_KIND:
        if (sym == SDLK_UP)
            return s.kinds->lineUp(), true;
        if (sym == SDLK_DOWN)
            return s.kinds->lineDown(), true;
        if (sym == SDLK_RETURN) {
            if (!chosenKind())
                return false;
            s.state = CreateItem_C::INGREDIENTS;
            return true;
        }
        if (sym == SDLK_ESCAPE) {
            s.state = CreateItem_C::DONE;
            return true;
        }
        return false;
    case CreateItem_C::INGREDIENTS:
        if (m) {
            takeIngredient(m);
            return true;
        }
        if (sym == 'c') {
            if (s.itemCreateList.empty())
                return false;
            create();
            return true;
        }
        if (sym == SDLK_ESCAPE) {
            putAllBack();
            s.state = CreateItem_C::DONE;
            return true;
        }
        return false;
    case CreateItem_C::TAKE_ITEM:
        if (sym == SDLK_ESCAPE) {
            s.state = CreateItem_C::DONE;
            return true;
        }
        if (!m)
            return false;
        if (!inv::hasRoom(*m, inv::worldLimits())) {
            message("Your pack is full.");
            return true;
        }
        if (bl3dItem* item = s.created ? s.created->newInstance() : nullptr)
            m->getPack()->pushFront(item);
        s.state = CreateItem_C::DONE;
        return true;
    default:
        return false;
    }
}

} // namespace

void CreateItem_C::run(Interface_C* iface, bool startAtKinds)
{
    if (!iface)
        return;
    S().iface = iface;
    if (startAtKinds)
        fillKinds(nullptr);
    runLoop(iface, startAtKinds ? CHOOSE_KIND : CHOOSE_BUILDER, nullptr);
}

void CreateItem_C::runForBuilder(Interface_C* iface, bl3dPartyChar* builder)
{
    if (!iface || !builder)
        return;
    S().iface = iface;
    fillKinds(builder);
    runLoop(iface, CHOOSE_KIND, builder);
}

void CreateItem_C::runLoop(Interface_C* iface, int state, bl3dPartyChar* builder)
{
    CreateScreen_S& s = S();
    s.iface = iface;
    s.builder = builder;
    s.created = nullptr;
    s.state = state;
    s.itemCreateList.clear();
    if (!s.kinds)
        s.kinds = newList(*iface);
    s.taken = newList(*iface);
    ModalLoop_C loop(s.state, [](const SDL_keysym& k) { key(k.sym); }, [] { display(); });
    loop.setMouse(iface->getMouseRegions()).setFrame([iface] { iface->drawBackground(); });
    loop.run();
    // What was taken and not used up goes back to its owner.
    putAllBack();
    s.kinds.reset();
    s.taken.reset();
    s.builder = nullptr;
    s.created = nullptr;
}

void CreateItem_C::key(int sym)
{
    if (handle(sym))
        vell::pushRedraw();
}

void CreateItem_C::redrawView()
{
    if (S().iface)
        S().iface->redrawUL();
}

void CreateItem_C::display()
{
    CreateScreen_S& s = S();
    Interface_C* iface = s.iface;
    if (!iface)
        return;
    beginViewPage(*iface);
    PaneText_C pane(*iface);
    MouseRegions_C* regions = pane.regions();
    switch (s.state) {
    case CHOOSE_BUILDER:
        pane.wrapped(1, "Who will attempt to build/brew an item?");
        pane.line(-1, "(F1-F8) to Select");
        pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
        break;
    case CHOOSE_KIND:
        pane.wrapped(1, "What item type will you build/brew?");
        if (s.kinds) {
            s.kinds->draw(&pane.text(), regions);
            pane.listRegion(3, -3, SDLK_RETURN, &ScrollList_C::mouseCallback, s.kinds.get());
        }
        pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
        break;
    case INGREDIENTS:
        pane.line(1, "Ingredients:");
        if (s.taken && s.taken->getNumLines() > 0) {
            s.taken->draw(&pane.text(), regions);
            pane.line(-2, "(C) to Create", 'c');
        }
        pane.line(-1, "(F1-F8) to Select");
        pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
        break;
    case TAKE_ITEM: {
        const std::string q = std::string("Who shall take the ") + (s.created ? s.created->getName().c_str() : "");
        pane.wrapped(1, q.c_str());
        pane.line(-1, "(F1-F8) to Select");
        pane.line(0, "(ESCAPE) to Destroy It", SDLK_ESCAPE);
        break;
    }
    default:
        break;
    }
    refreshCursor(*iface);
}

int CreateItem_C::getState() { return S().state; }
bl3dPartyChar* CreateItem_C::getBuilder() { return S().builder; }
int CreateItem_C::kindLines() { return S().kinds ? S().kinds->getNumLines() : 0; }
int CreateItem_C::ingredientLines() { return S().taken ? S().taken->getNumLines() : 0; }
const std::vector<Ingredient_S>& CreateItem_C::ingredients() { return S().itemCreateList; }
const bl3dItemType* CreateItem_C::createdType() { return S().created; }
