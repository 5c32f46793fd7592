// The drawing of a wandering monster's offer to join (events/Event_4000a.h).
#include "core/ScrollPane.h"
#include "events/Event_4000a.h"
#include "rules/Monster.h"
#include "world/PaneText.h"
#include "world/Interface.h"

#include <GL/gl.h>
#include <SDL.h>

#include <cstdio>

void Event_4000a_C::display()
{
    if (!iface_)
        return;
    bl3dMonster* m = candidate();
    const char* picture = m ? m->nameBuffer() : "Treasure";
    beginPage(*iface_, [&] {
        if (iface_->curPicNamed(picture) || iface_->setULPic(picture) != 0)
            iface_->drawULPic();
    });
    glColor3f(0, 0, 0);
    PaneText_C pane(*iface_);
    const char* name = m ? m->getName() : "";
    char text[300];
    switch (state_) {
    case OFFER:
        textPane_ = std::make_unique<ScrollPane_C>(0, -1, -1, -1, -1);
        std::snprintf(text, sizeof text, "For it's own reasons, a %s offers to join you in your fight\n", name);
        textPane_->addText(text, &iface_->text());
        textPane_->addText("What dost your brave party wish to do?\n\n", &iface_->text());
        pane.line(-4, "(W)elcome them to your ranks", 'w');
        pane.line(-2, "(D)eny their request", 'd');
        textPane_->drawPane(&iface_->text(), pane.regions());
        break;
    case WELCOMED:
        pane.wrapped(1, "Your party welcomes it's newest member");
        pane.line(0, "(SPACE) to Continue", SDLK_SPACE);
        break;
    case ANGRY:
        std::snprintf(text, sizeof text, "The %s appears angry at being turned down...", name);
        pane.wrapped(1, text);
        pane.line(0, "(SPACE) to Continue", SDLK_SPACE);
        break;
    case PARTY_FULL:
        pane.wrapped(1, "it is unfortunate, but your party is full");
        pane.line(0, "(SPACE) to Continue", SDLK_SPACE);
        break;
    default: break;
    }
    refreshCursor(*iface_);
}
