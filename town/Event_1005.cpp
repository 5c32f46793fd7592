#include "town/Event_1005.h"

#include "rules/Action.h"
#include "rules/ActionList.h"
#include "rules/PartyChar.h"
#include "rules/TagKeys.h"
#include "world/PaneText.h"
#include "town/TownPrices.h"

Event_1005_C::Event_1005_C(const EventParams_S* params) : Guild_C(params) {}

const char* Event_1005_C::closedText() const
{
    return "We're sorry, but the members have all gone to drink and be merry.  Perhaps you should as well?  Please "
           "come again.";
}

bool Event_1005_C::isOfGuild(const bl3dPartyChar& m) const { return m.isClass(BARDS); }

int64_t Event_1005_C::trainingPrice(int32_t level) const { return levelGainPrice(level); }

int Event_1005_C::trainedState(int64_t price, int32_t newLevel) const
{
    // A price over a hundred a level is the price of a rank.
    const bool rank = newLevel > 0 && uint64_t(price) / uint64_t(newLevel) > 100;
    return rank ? int(NEW_RANK) : int(TRAINED);
}

bool Event_1005_C::isOffered(const bl3dAction& action, bl3dPartyChar& m) const
{
    return (static_cast<uint32_t>(action.actionID()) & ACTION_BARD_SONG) != 0
           && action.getLevel() <= m.getTagList()->intValue(tagkey::SongLvl)
           && m.actions()->getAction(action.actionID()) == nullptr;
}

ActionList* Event_1005_C::learnedList(bl3dPartyChar& m) const { return m.actions(); }

const char* Event_1005_C::text(int state) const
{
    switch (state) {
    case TRAIN_WHO: return "Who wishes to train with our most skilled musicians?";
    case NOT_OF_GUILD:
        return "You seem not to have the knack for music.  Perhaps you should return when your attempts are less "
               "offensive to the ear.";
    case NOT_READY: return "Practice makes perfect, and you certainly seem to need more practice.";
    case TRAIN_OFFER:
        return "As you know, Guild services are free to those of musical inclination.  It is customary, however, to "
               "tip the Master, and a sum of %lld gold is recommended...  Will you pay?";
    case TRAIN_SHORT:
        return "The Master, who appreciates your desire to reward him for his services, becomes agitated when you find "
               "you cannot pay what you offered.  You understand immediately that you won't be learning anything new "
               "today.";
    case TRAINED:
        return "After long hours with the Master, you find you are more adept than you had previously thought "
               "possible!";
    case TRAIN_DECLINED:
        return "Obviously upset by your lack of financial enthusiasm, the Master fails to show you anything you didn't "
               "already know.";
    case BUY_WHO: return "Who wishes to learn a song?";
    case CANNOT_LEARN:
        return "Though you enjoy listening to the piece, you have no idea where to even begin playing it.  Perhaps it "
               "would help if you were trained in music.";
    case OFFER_LIST: return "Which song?";
    case BUY_OFFER:
        return "To teach you such a complex song will cost me my earnings for tonight.  Perhaps you could reimburse me "
               "to the tune of %lld gold?\nWill you pay?";
    case BUY_SHORT:
        return "I'm sorry, but the promise of funds won't get me a meal or a bed tonight.  You'll have to return when "
               "your purse can support your desires.";
    case BOUGHT:
        return "You listen intently as the learned Bard plays the song several times.  After a couple runs through it "
               "yourself, you have it comitted to memory.";
    case BUY_DECLINED:
        return "You must understand that I have to eat, and since you are unwilling to make up for my lost income, I "
               "must instead go to the Tavern to play for my supper.";
    case NEW_RANK:
        return "The master notices you are ready for a new instrument, and after much study, you find you've advanced "
               "a rank!";
    case NOTHING_OFFERED: return "There are none in the guild who know songs you do not!";
    default: return "";
    }
}

void Event_1005_C::drawMenu(PaneText_C& pane)
{
    pane.wrapped(1, "Welcome adventurers to the Order of the Lyre.\nHow may we be of service?");
    pane.line(7, "(T)rain with a Master Bard", 't');
    pane.wrapped(9, "(A)cquire a song for your repertoire", 'a');
    pane.line(-1, "(F1-F8) to View");
    pane.line(0, "(ESCAPE) to Exit", SDLK_ESCAPE);
}
