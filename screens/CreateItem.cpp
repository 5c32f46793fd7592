#include "screens/CreateItem.h"

#include "core/ModalLoop.h"
#include "screens/PaneScreen.h"
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

// The screen: a pane screen over the main view, waiting for each event.
// The item chooser and the message boxes run over the view it draws
// (redrawView).
class CreateScreen_C : public PaneScreen_C {
public:
    bl3dPartyChar* builder = nullptr;
    std::unique_ptr<ScrollList_C> kinds;
    std::unique_ptr<ScrollList_C> taken;
    std::vector<Ingredient_S> itemCreateList;
    bl3dItemType* created = nullptr;

    void setInterface(Interface_C* iface) { iface_ = iface; }
    void run(Interface_C* iface, int state, bl3dPartyChar* chosen);
    void redrawView()
    {
        if (iface_)
            iface_->redrawUL();
    }
    void fillKinds(bl3dPartyChar* chosen);

private:
    void drawState(PaneText_C& pane) override;
    // A key that changed the page redraws it.
    void handleKey(int sym, SDLMod) override
    {
        if (handle(sym))
            vell::pushRedraw();
    }

    const ItemCreate_S* chosenKind() const;
    void putAllBack();
    void message(const char* text);
    void create();
    void takeIngredient(bl3dPartyChar* owner);
    bool handle(int sym);
};

CreateScreen_C& S()
{
    static CreateScreen_C screen;
    return screen;
}

std::unique_ptr<ScrollList_C> newList(Interface_C& iface)
{
    PaneText_C pane(iface);
    return std::make_unique<ScrollList_C>(&iface.text(), pane.left(), pane.right(), pane.lineY(3), pane.lineY(-3));
}

// Fills the kinds list: every kind, or those the builder has a skill for.
void CreateScreen_C::fillKinds(bl3dPartyChar* chosen)
{
    kinds = newList(*iface_);
    for (size_t i = 0; i < itemCreate.size(); ++i)
        if (!chosen || chosen->getCreateAbility(&itemCreate[i]) != 0)
            kinds->addLine(itemCreate[i].getName(), static_cast<int>(i), true);
}

// The kind chosen on the kind page; null when none is selected.
const ItemCreate_S* CreateScreen_C::chosenKind() const
{
    if (!kinds || kinds->selected() < 0)
        return nullptr;
    const int k = kinds->selectedValue();
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

void CreateScreen_C::putAllBack()
{
    for (Ingredient_S& ing : itemCreateList)
        putBack(ing);
    itemCreateList.clear();
}

void CreateScreen_C::message(const char* text)
{
    if (iface_)
        paneMessage(*iface_, text, &CreateItem_C::redrawView);
}

// 'c': the ingredients go into a recipe (those that are ingredients are used
// up), the recipe is matched and the roll decides.
void CreateScreen_C::create()
{
    const ItemCreate_S* kind = chosenKind();
    if (!kind)
        return;
    bl3dRecipe gathered;
    gathered.setId(kinds->selectedValue());
    for (Ingredient_S& ing : itemCreateList) {
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
        state_ = CreateItem_C::DONE;
        return;
    }
    const int roll = vell::gameRand() % 30 + 1;
    const int skill = builder ? builder->getCreateAbility(kind) : 0;
    if (roll != 1 && roll + skill - gathered.totalCount() >= CreateItem_C::kSuccessMargin) {
        created = type;
        state_ = CreateItem_C::TAKE_ITEM;
        return;
    }
    message(kind->failText.c_str());
    state_ = CreateItem_C::DONE;
}

// F1-F8 on the ingredients page: an item of that member through the chooser.
void CreateScreen_C::takeIngredient(bl3dPartyChar* owner)
{
    InvChooser_C chooser(owner, &CreateItem_C::redrawView);
    const int pos = chooser.run(iface_, false, false);
    if (pos < 0)
        return;
    int from = -1;
    bl3dItem* item = takeItemAt(*owner, pos, &from);
    if (!item)
        return;
    itemCreateList.push_back({item, owner, from});
    RefStr_C name;
    item->getDisplayName(name);
    taken->addLine(name.c_str(), taken->getNumLines(), true);
}

bool CreateScreen_C::handle(int sym)
{
    bl3dPartyChar* m = memberForKey(sym);
    switch (state_) {
    case CreateItem_C::CHOOSE_BUILDER:
        if (sym == SDLK_ESCAPE) {
            state_ = CreateItem_C::DONE;
            return true;
        }
        if (!m)
            return false;
        builder = m;
        fillKinds(m);
        if (kinds->getNumLines() > 0) {
            state_ = CreateItem_C::CHOOSE_KIND;
        } else {
            const std::string text = std::string(m->getName()) + " has no skill for creating items.";
            message(text.c_str());
        }
        return true;
    case CreateItem_C::CHOOSE_KIND:
        if (sym == SDLK_UP)
            return kinds->lineUp(), true;
        if (sym == SDLK_DOWN)
            return kinds->lineDown(), true;
        if (sym == SDLK_RETURN) {
            if (!chosenKind())
                return false;
            state_ = CreateItem_C::INGREDIENTS;
            return true;
        }
        if (sym == SDLK_ESCAPE) {
            state_ = CreateItem_C::DONE;
            return true;
        }
        return false;
    case CreateItem_C::INGREDIENTS:
        if (m) {
            takeIngredient(m);
            return true;
        }
        if (sym == 'c') {
            if (itemCreateList.empty())
                return false;
            create();
            return true;
        }
        if (sym == SDLK_ESCAPE) {
            putAllBack();
            state_ = CreateItem_C::DONE;
            return true;
        }
        return false;
    case CreateItem_C::TAKE_ITEM:
        if (sym == SDLK_ESCAPE) {
            state_ = CreateItem_C::DONE;
            return true;
        }
        if (!m)
            return false;
        if (!inv::hasRoom(*m, inv::worldLimits())) {
            message("Your pack is full.");
            return true;
        }
        if (bl3dItem* item = created ? created->newInstance() : nullptr)
            m->getPack()->pushFront(item);
        state_ = CreateItem_C::DONE;
        return true;
    default:
        return false;
    }
}

void CreateScreen_C::run(Interface_C* iface, int state, bl3dPartyChar* chosen)
{
    iface_ = iface;
    builder = chosen;
    created = nullptr;
    state_ = state;
    itemCreateList.clear();
    if (!kinds)
        kinds = newList(*iface);
    taken = newList(*iface);
    runLoop(false);
    // What was taken and not used up goes back to its owner.
    putAllBack();
    kinds.reset();
    taken.reset();
    builder = nullptr;
    created = nullptr;
}

void CreateScreen_C::drawState(PaneText_C& pane)
{
    MouseRegions_C* regions = pane.regions();
    switch (state_) {
    case CreateItem_C::CHOOSE_BUILDER:
        pane.wrapped(1, "Who will attempt to build/brew an item?");
        pane.line(-1, "(F1-F8) to Select");
        pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
        break;
    case CreateItem_C::CHOOSE_KIND:
        pane.wrapped(1, "What item type will you build/brew?");
        if (kinds) {
            kinds->draw(&pane.text(), regions);
            pane.listRegion(3, -3, SDLK_RETURN, &ScrollList_C::mouseCallback, kinds.get());
        }
        pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
        break;
    case CreateItem_C::INGREDIENTS:
        pane.line(1, "Ingredients:");
        if (taken && taken->getNumLines() > 0) {
            taken->draw(&pane.text(), regions);
            pane.line(-2, "(C) to Create", 'c');
        }
        pane.line(-1, "(F1-F8) to Select");
        pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
        break;
    case CreateItem_C::TAKE_ITEM: {
        const std::string q = std::string("Who shall take the ") + (created ? created->getName().c_str() : "");
        pane.wrapped(1, q.c_str());
        pane.line(-1, "(F1-F8) to Select");
        pane.line(0, "(ESCAPE) to Destroy It", SDLK_ESCAPE);
        break;
    }
    default:
        break;
    }
}

} // namespace

void CreateItem_C::run(Interface_C* iface, bool startAtKinds)
{
    if (!iface)
        return;
    CreateScreen_C& s = S();
    s.setInterface(iface);
    if (startAtKinds)
        s.fillKinds(nullptr);
    s.run(iface, startAtKinds ? CHOOSE_KIND : CHOOSE_BUILDER, nullptr);
}

void CreateItem_C::runForBuilder(Interface_C* iface, bl3dPartyChar* builder)
{
    if (!iface || !builder)
        return;
    CreateScreen_C& s = S();
    s.setInterface(iface);
    s.fillKinds(builder);
    s.run(iface, CHOOSE_KIND, builder);
}

void CreateItem_C::key(int sym) { S().key(sym); }

void CreateItem_C::redrawView() { S().redrawView(); }

void CreateItem_C::display() { S().display(); }

int CreateItem_C::getState() { return S().getState(); }
bl3dPartyChar* CreateItem_C::getBuilder() { return S().builder; }
int CreateItem_C::kindLines() { return S().kinds ? S().kinds->getNumLines() : 0; }
int CreateItem_C::ingredientLines() { return S().taken ? S().taken->getNumLines() : 0; }
const std::vector<Ingredient_S>& CreateItem_C::ingredients() { return S().itemCreateList; }
const bl3dItemType* CreateItem_C::createdType() { return S().created; }
