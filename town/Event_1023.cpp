#include "town/Event_1023.h"

#include "core/CommonInterface.h"
#include "core/ModalLoop.h"
#include "core/ScrollList.h"
#include "core/ScrollPane.h"
#include "platform/Random.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "world/ListKeys.h"
#include "world/PaneText.h"
#include "world/GameWorld.h"
#include "world/Interface.h"

namespace {

constexpr int kReaderIQ = 12;
const char* const kEmptyShelf = "The shelves here are bare; there is nothing to read.";
const char* const kUnreadable = "The pages of this volume are too worn to make out a single word.";

// The GL y of line n of the text area over the upper-left pane.
int ulLineY(const CommonInterface_C& text, int n)
{
    return n > 0 ? text.getULTop() - n * text.getLineHeight() : text.getULBottom() - n * text.getLineHeight();
}

} // namespace

Event_1023_C::Event_1023_C(const EventParams_S* params) : Event_1023_C(params, ArcaniumCatalogue_S::kCatalogue) {}

Event_1023_C::Event_1023_C(const EventParams_S* params, const char* catalogue) : Building_C(params)
{
    catalogue_.read(catalogue);
}

Event_1023_C::~Event_1023_C() = default;

int Event_1023_C::invoke(Interface_C* iface)
{
    list_.reset();
    pane_.reset();
    const int r = Building_C::invoke(iface);
    list_.reset();
    pane_.reset();
    return r;
}

bool Event_1023_C::nobodyCanRead()
{
    for (int i = 0; party && i < party->getCount(); ++i) {
        const bl3dPartyChar* m = party->getMember(i);
        if (m && m->getStatBlock()->getCur(STAT_IQ) > kReaderIQ && !m->isStunned() && !m->isSleeping() &&
            !m->isStone() && !m->isBlind())
            return false;
    }
    return true;
}

int Event_1023_C::shownState() const
{
    return state_ > 0 && state_ != kClosed && nobodyCanRead() ? ILLITERATE : state_;
}

const char* Event_1023_C::pictureName() const
{
    const int s = shownState();
    return s == RANDOM_TEXT || s == TEXT ? "parchment" : "Magika";
}

const char* Event_1023_C::closedText() const
{
    return "We're sorry, the bookkeepers have retired for the night.  Please return in the morning.";
}

void Event_1023_C::buildTopicList()
{
    CommonInterface_C& text = iface_->text();
    list_ = std::make_unique<ScrollList_C>(&text, text.getURLeft(), text.getURRight(), iface_->getURLineY(4),
                                           iface_->getURLineY(-2));
    for (size_t i = 0; i < catalogue_.topics.size(); ++i)
        list_->addLine(catalogue_.topics[i].c_str(), int(i), true);
}

void Event_1023_C::buildTitleList()
{
    CommonInterface_C& text = iface_->text();
    list_ = std::make_unique<ScrollList_C>(&text, text.getURLeft(), text.getURRight(), iface_->getURLineY(3),
                                           iface_->getURLineY(-1));
    if (chosenTopic_ < 0 || size_t(chosenTopic_) >= catalogue_.topics.size())
        return;
    const std::string& topic = catalogue_.topics[size_t(chosenTopic_)];
    for (size_t i = 0; i < catalogue_.entries.size(); ++i)
        if (catalogue_.entries[i].topic == topic)
            list_->addLine(catalogue_.entries[i].title.c_str(), int(i), true);
}

void Event_1023_C::loadText(int entry)
{
    const CommonInterface_C& text = iface_->text();
    pane_ = std::make_unique<ScrollPane_C>(0, text.getULLeft() + 85, text.getULRight() - 65, ulLineY(text, 3),
                                           ulLineY(text, -1));
    if (entry < 0 || size_t(entry) >= catalogue_.entries.size()) {
        pane_->addText(kEmptyShelf, &text);
        return;
    }
    const std::string path = ArcaniumCatalogue_S::textPath(catalogue_.entries[size_t(entry)]);
    if (!ArcaniumCatalogue_S::readText(path, [&](const char* piece) { pane_->addText(piece, &text); }))
        pane_->addText(kUnreadable, &text);
}

void Event_1023_C::drawState(PaneText_C& pane)
{
    switch (shownState()) {
    case MENU:
        pane.wrapped(1, "Welcome to the Arcanium, seekers of knowledge!");
        pane.line(5, "(B)rowse our Texts", 'b');
        pane.line(6, "(P)ick a volume at random", 'p');
        pane.line(0, "(ESCAPE) to Exit", SDLK_ESCAPE);
        return;
    case TOPICS:
    case TITLES:
        pane.wrapped(1, state_ == TOPICS ? "Which topic interests you?" : "Which text will you inspect?");
        pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
        if (list_) {
            list_->draw(&pane.text(), pane.regions());
            if (state_ == TOPICS)
                pane.listRegion(4, -2, SDLK_RETURN, &ScrollList_C::mouseCallback, list_.get());
            else
                pane.listRegion(3, -1, SDLK_RETURN, &ScrollList_C::mouseCallback, list_.get());
        }
        return;
    case RANDOM_TEXT:
    case TEXT:
        if (state_ == RANDOM_TEXT)
            pane.wrapped(1, "You grab the first text you see...");
        else if (list_)
            list_->draw(&pane.text(), pane.regions());
        pane.line(0, state_ == RANDOM_TEXT ? "(ESCAPE) to Cancel" : "(ESCAPE) to Select Another", SDLK_ESCAPE);
        if (pane_)
            pane_->drawPane(&pane.text(), pane.regions());
        return;
    case ILLITERATE:
        pane.wrapped(1, "Welcome to the Arcanium!");
        pane.wrapped(5, "I'm sorry, but it appears no conscious member of your party is literate.");
        pane.line(0, "(SPACE) to Continue", SDLK_SPACE);
        return;
    default:
        return;
    }
}

void Event_1023_C::handleKey(int sym, SDLMod)
{
    if (!isOpenNow()) {
        setState(kClosed);
        return;
    }
    if (nobodyCanRead())
        state_ = ILLITERATE;
    switch (state_) {
    case MENU:
        if (sym == 'b') {
            buildTopicList();
            setState(TOPICS);
        } else if (sym == 'p') {
            const int n = int(catalogue_.entries.size());
            loadText(n > 0 ? vell::gameRandMod(n) : -1);
            setState(RANDOM_TEXT);
        } else if (sym == SDLK_ESCAPE) {
            leave();
        }
        return;
    case TOPICS:
    case TITLES:
        if (sym == SDLK_ESCAPE) {
            if (state_ == TOPICS) {
                list_.reset();
                setState(MENU);
            } else {
                buildTopicList();
                setState(TOPICS);
            }
        } else if (sym == SDLK_RETURN) {
            // An empty list has nothing to choose.
            if (!list_ || list_->selected() < 0)
                return;
            if (state_ == TOPICS) {
                chosenTopic_ = list_->selectedValue();
                buildTitleList();
                setState(TITLES);
            } else {
                chosenEntry_ = list_->selectedValue();
                loadText(chosenEntry_);
                setState(TEXT);
            }
        } else if (moveListByKey(list_.get(), sym, true)) {
            vell::pushRedraw();
        }
        return;
    case RANDOM_TEXT:
    case TEXT:
        if (sym == SDLK_ESCAPE) {
            pane_.reset();
            if (state_ == RANDOM_TEXT) {
                setState(MENU);
            } else {
                buildTitleList();
                setState(TITLES);
            }
        } else if (moveListByKey(pane_.get(), sym, true)) {
            vell::pushRedraw();
        }
        return;
    case ILLITERATE:
        if (sym == SDLK_SPACE)
            leave();
        return;
    default:
        return;
    }
}
