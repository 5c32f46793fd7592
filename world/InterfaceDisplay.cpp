// Drawing of the main screen: the frame, the 3-D view or scene picture, the
// text pane, the status icons and the party roster.
#include "world/Interface.h"


#include "core/CommonInterface.h"
#include "core/GameConfig.h"
#include "core/MemberKeys.h"
#include "core/MouseRegions.h"
#include "core/PicCache.h"
#include "core/ScreenProjection.h"
#include "core/ScrollPane.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "rules/TagKeys.h"
#include "world/GameWorld.h"
#include "world/Map.h"
#include "world/MapRenderer.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <cstdio>

namespace {

constexpr double kPi = 3.1415926535898;

// Pieces of the frame picture, as texture coordinates.
struct Piece {
    float s0, s1, t0, t1;
};
constexpr Piece kURPiece = {0.69140625f, 0.9765625f, 0.29296875f, 0.6982422f};
constexpr Piece kRosterPiece = {0.109375f, 0.890625f, 0.026367188f, 0.19238281f};

const float kDeadColour[3] = {0.39215687f, 0.37254903f, 0.33333334f};
const float kStunColour[3] = {0.63235295f, 0.5421569f, 0.45784312f};
const float kPoisonColour[3] = {0.43529412f, 0.43882352f, 0.25137255f};
const float kWhite[3] = {1.0f, 1.0f, 1.0f};
const float kFullColour[3] = {0.43529412f, 0.45882353f, 0.23137255f};
const float kGoodColour[3] = {0.68235296f, 0.5921569f, 0.40784314f};
const float kLowColour[3] = {0.5764706f, 0.3254902f, 0.23921569f};

const float* poolColour(int32_t cur, int32_t max)
{
    if (cur <= 0)
        return kDeadColour;
    if (cur >= max)
        return kFullColour;
    if (cur > max / 4.0)
        return kGoodColour;
    return kLowColour;
}

const char* classAbbrev(int32_t classId)
{
    static const char* const names[17] = {"Brb", "Brd", "War", "Mon", "PsK", "Pal", "Ran", "Rog", "Arc",
                                          "Geo", "Hyd", "Aer", "Pyr", "Iso", "RCl", "MON", "ILL"};
    for (int bit = 0; bit < 17; ++bit)
        if (classId & (1 << bit))
            return names[bit];
    return "NON";
}

void texturedQuad(unsigned tex, float x0, float y0, float x1, float y1, float s0, float t0, float s1, float t1)
{
    if (!tex)
        return;
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glBindTexture(GL_TEXTURE_2D, tex);
    glBegin(GL_QUADS);
    glTexCoord2f(s0, t0); glVertex2f(x0, y0);
    glTexCoord2f(s1, t0); glVertex2f(x1, y0);
    glTexCoord2f(s1, t1); glVertex2f(x1, y1);
    glTexCoord2f(s0, t1); glVertex2f(x0, y1);
    glEnd();
    glDisable(GL_TEXTURE_2D);
}

void colour(const float c[3]) { glColor3f(c[0], c[1], c[2]); }

} // namespace

void Interface_C::ortho()
{
    setScreenProjection(layout_.width, layout_.height, ViewLayout_S::kDesignWidth, ViewLayout_S::kDesignHeight);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_FOG);
}

void Interface_C::drawPicAt(const Pic_S& p, float x, float y)
{
    texturedQuad(p.texId, x, y, x + p.width, y + p.height, 0, 0, p.ratioS, p.ratioT);
}

void Interface_C::display()
{
    if (mouseRegions_)
        mouseRegions_->clear();
    clearUR(false);
    if (!percepValid_)
        buildPercepPane();
    if (percepPane_)
        percepPane_->drawPane(&text(), mouseRegions_.get());
    drawCharText();
    if (skipULOnce_)
        skipULOnce_ = false;
    else
        redrawUL();
    if (mouseRegions_) {
        int mx = 0, my = 0;
        SDL_GetMouseState(&mx, &my);
        mouseRegions_->mouseMove(mx, my, 1);
    }
    if (gAfterDisplayHook())
        gAfterDisplayHook()();
    SDL_GL_SwapBuffers();
}

void Interface_C::drawBackground()
{
    ortho();
    glColor3f(0.2f, 0.17f, 0.14f);
    const Pic_S& f = pics_[PIC_FRAME];
    if (f.texId)
        drawPicAt(f, 0, 0);
    else {
        glBegin(GL_QUADS);
        glVertex2f(0, 0); glVertex2f(1024, 0); glVertex2f(1024, 768); glVertex2f(0, 768);
        glEnd();
    }
}

void Interface_C::clearUR(bool)
{
    // Whoever printed into the pane (any screen may) left its text there, and
    // a pane with no text looks the same redrawn: so it is always redrawn.
    ortho();
    texturedQuad(pics_[PIC_FRAME].texId, 708, 300, 1000, 715, kURPiece.s0, kURPiece.t0, kURPiece.s1,
                 kURPiece.t1);
    Map_C* map = getCurrentMap();
    if (map && map->getBackdrop().texture) {
        ortho();
        const Backdrop_S& b = map->getBackdrop();
        texturedQuad(b.texture, 128, 717, 548, 757, 0, 0, b.extentS, b.extentT);
    }
}

void Interface_C::redrawUL()
{
    if (!currentWorld_)
        return;
    if (gameConfig.freeNavigation)
        drawUL(getViewX(), getViewZ(), float(getViewFacing()), eyeHeight_ < 0.5f ? 0.5f : eyeHeight_);
    else
        drawUL(getCurX(), getCurZ(), float(getFacing()), 0.5f);
}

void Interface_C::addViewRegions()
{
    if (!mouseRegions_)
        return;
    const LayoutRect_S& r = layout_.upperLeft;
    const int w = r.right - r.left;
    const int h = r.top - r.bottom;
    const int left = r.left;
    const int top = layout_.height - r.top;
    mouseRegions_->addRegion(left + w / 6, top, w * 2 / 3, h / 2, SDLK_UP, 2);
    mouseRegions_->addRegion(left, top + h / 6, w / 3, h * 2 / 3, SDLK_LEFT, 3);
    mouseRegions_->addRegion(left + w * 2 / 3, top + h / 6, w / 3, h * 2 / 3, SDLK_RIGHT, 4);
    mouseRegions_->addRegion(left + w / 6, top + h * 2 / 3, w * 2 / 3, h / 3, SDLK_DOWN, 5);
}

void Interface_C::drawUL(float x, float z, float facingDeg, float eyeHeight)
{
    Map_C* map = getCurrentMap();
    if (!map || !currentWorld_)
        return;
    const LayoutRect_S& r = layout_.upperLeft;
    const int w = r.right - r.left;
    const int h = r.top - r.bottom;
    addViewRegions();

    glEnable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDepthMask(GL_TRUE);
    if (gameConfig.fog)
        glEnable(GL_FOG);
    glViewport(r.left, r.bottom, w, h);
    glScissor(r.left, r.bottom, w, h);
    glEnable(GL_SCISSOR_TEST);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(90.0, 1.25, 0.01, 1300.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const GLfloat eye[4] = {0, 0, 0, 1};
    glLightfv(GL_LIGHT3, GL_POSITION, eye);
    const double f = facingDeg * kPi / 180.0;
    gluLookAt(x, eyeHeight, z, x - 10 * std::sin(f), 0.5, z - 10 * std::cos(f), 0, 1, 0);
    maprender::setCamera({x, eyeHeight, z, facingDeg});

    map->drawEnv();
    const int sx = currentWorld_->getSquareX();
    const int sy = currentWorld_->getSquareY();
    // The sky lies at the far plane: after the opaque squares it only fills
    // what they left open, before the billboards that blend over it.
    glPushMatrix();
    maprender::drawSquares(*map, sx, sy, getFacing(), 0, maprender::OPAQUE);
    map->drawSky();
    maprender::drawSquares(*map, sx, sy, getFacing(), 0, maprender::BILLBOARDS);
    glPopMatrix();
    if (map->isOutdoors() && gameConfig.shadows) {
        map->beginShadows();
        map->drawCells(sx, sy, getFacing(), 1);
        map->endShadows();
    }
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    drawIcons();
}

void Interface_C::drawULPic()
{
    ortho();
    if (picCache_)
        picCache_->draw(&text());
    drawIcons();
}

void Interface_C::textUR(const char* t, bool wrap)
{
    const LayoutRect_S& r = layout_.upperRight;
    glColor3f(0, 0, 0);
    if (wrap)
        text().printFormat(r.left, getURLineY(1), t, r.right);
    else
        text().printStr(r.left, getURLineY(1), t);
}

void Interface_C::textB(const char* t)
{
    glColor3f(1, 1, 1);
    text().printStr(layout_.rosterColumns[0], layout_.rosterTop, t);
}

void Interface_C::drawIcons()
{
    const uint32_t percep = static_cast<uint32_t>(var(tagkey::Percep1));
    const int32_t magLt = var(tagkey::MagLt1);
    const int32_t magState = var(tagkey::MagState1);
    const int32_t ncbs = var(tagkey::NCBS);
    ortho();
    const float y = 233.0f;
    drawPicAt(pics_[ncbs != 0 ? PIC_MUSIC_ON : PIC_MUSIC_OFF], 449, y);
    drawPicAt(pics_[(magState & 0x02) ? PIC_SHIELD_ON : PIC_SHIELD_OFF], 162, y);
    int compass = PIC_COMPASS_OFF;
    Map_C* map = getCurrentMap();
    if ((map && map->isOutdoors()) || (percep & 0x01)) {
        switch (getFacing()) {
        case 0: compass = PIC_COMPASS_NORTH; break;
        case 90: compass = PIC_COMPASS_WEST; break;
        case 180: compass = PIC_COMPASS_SOUTH; break;
        case 270: compass = PIC_COMPASS_EAST; break;
        default: break;
        }
    }
    drawPicAt(pics_[compass], 306, y);
    drawPicAt(pics_[percep >= 2 ? PIC_SCRY_ON : PIC_SCRY_OFF], 234, y);
    drawPicAt(pics_[magLt != 0 ? PIC_LIGHT_ON : PIC_LIGHT_OFF], 377, y);
}

void Interface_C::setupRosterCache()
{
    if (roster_.texId) {
        const GLuint id = roster_.texId;
        glDeleteTextures(1, &id);
    }
    roster_ = RosterCache_S();
    roster_.x = ViewLayout_S::scale(112, layout_.width, ViewLayout_S::kDesignWidth);
    roster_.y = ViewLayout_S::scale(27, layout_.height, ViewLayout_S::kDesignHeight);
    roster_.w = ViewLayout_S::scale(912, layout_.width, ViewLayout_S::kDesignWidth) - roster_.x;
    roster_.h = ViewLayout_S::scale(197, layout_.height, ViewLayout_S::kDesignHeight) - roster_.y;
    int tw = 1, th = 1;
    while (tw < roster_.w)
        tw *= 2;
    while (th < roster_.h)
        th *= 2;
    GLuint id = 0;
    glGenTextures(1, &id);
    if (!id)
        return;
    glBindTexture(GL_TEXTURE_2D, id);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, tw, th, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
    roster_.texId = id;
    roster_.texW = tw;
    roster_.texH = th;
}

bool Interface_C::rosterUnchanged(RosterRow_S (&rows)[8]) const
{
    for (int slot = 0; slot < 8; ++slot) {
        RosterRow_S& r = rows[slot];
        r = RosterRow_S();
        const bl3dPartyChar* m = party && slot < party->getCount() ? party->getMember(slot) : nullptr;
        if (!m)
            continue;
        r.member = m;
        r.name = m->getName();
        r.hp = m->getCurHP();
        r.maxHp = m->getMaxHP();
        r.sp = m->getCurSP();
        r.maxSp = m->getMaxSP();
        r.ac = m->getStatBlock()->getCur(8);
        r.conditions = m->getConditions();
        r.classId = m->getClassId();
    }
    if (!roster_.valid)
        return false;
    for (int slot = 0; slot < 8; ++slot)
        if (!(rows[slot] == roster_.rows[slot]))
            return false;
    return true;
}

void Interface_C::drawCharText()
{
    ortho();
    const int lh = text().getLineHeight();
    const int* col = layout_.rosterColumns;
    if (mouseRegions_)
        for (int slot = 0; slot < 8; ++slot) {
            const int y = layout_.rosterTop - slot * lh;
            mouseRegions_->addRegion(col[0], layout_.height - y - lh, col[7] + 32 - col[0], lh, memberKeyOfSlot(slot), 1);
        }

    RosterRow_S rows[8];
    if (roster_.texId && rosterUnchanged(rows)) {
        // The same roster as last time: its picture.
        const GLboolean blend = glIsEnabled(GL_BLEND);
        glDisable(GL_BLEND);
        const float s = float(roster_.w) / float(roster_.texW);
        const float t = float(roster_.h) / float(roster_.texH);
        texturedQuad(roster_.texId, 112, 27, 912, 197, 0, 0, s, t);
        if (blend)
            glEnable(GL_BLEND);
    } else {
        texturedQuad(pics_[PIC_FRAME].texId, 112, 27, 912, 197, kRosterPiece.s0, kRosterPiece.t0,
                     kRosterPiece.s1, kRosterPiece.t1);
        drawRosterText();
        if (roster_.texId) {
            glReadBuffer(GL_BACK);
            glBindTexture(GL_TEXTURE_2D, roster_.texId);
            glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, roster_.x, roster_.y, roster_.w, roster_.h);
            for (int slot = 0; slot < 8; ++slot)
                roster_.rows[slot] = rows[slot];
            roster_.valid = true;
        }
    }
    drawIcons();
}

void Interface_C::drawRosterText()
{
    CommonInterface_C& t = text();
    const int lh = t.getLineHeight();
    const int* col = layout_.rosterColumns;
    char buf[64];
    for (int slot = 0; slot < 8; ++slot) {
        const int y = layout_.rosterTop - slot * lh;
        bl3dPartyChar* m = party && slot < party->getCount() ? party->getMember(slot) : nullptr;
        if (!m)
            continue;
        const bool dead = m->getCurHP() <= 0;
        const float* base = kWhite;
        if (dead || m->isStone())
            base = kDeadColour;
        else if (m->isStunned() || m->isAged() || m->isSleeping())
            base = kStunColour;
        else if (m->isPoisoned() || m->isBlind() || m->isWithered())
            base = kPoisonColour;
        const float* plain = dead ? kDeadColour : kWhite;

        colour(base);
        std::snprintf(buf, sizeof buf, "%d)", slot + 1);
        t.printStr(col[0], y, buf);
        t.printStr(col[1], y, m->getName());
        std::snprintf(buf, sizeof buf, "%d", int(m->getStatBlock()->getCur(8)));
        t.printStr(col[2], y, buf);
        std::snprintf(buf, sizeof buf, "%d", int(m->getMaxHP()));
        t.printStr(col[3], y, buf);
        colour(poolColour(m->getCurHP(), m->getMaxHP()));
        std::snprintf(buf, sizeof buf, "%d", int(m->getCurHP()));
        t.printStr(col[4], y, buf);
        colour(plain);
        std::snprintf(buf, sizeof buf, "%d", int(m->getMaxSP()));
        t.printStr(col[5], y, buf);
        colour(poolColour(m->getCurSP(), m->getMaxSP()));
        std::snprintf(buf, sizeof buf, "%d", int(m->getCurSP()));
        t.printStr(col[6], y, buf);
        colour(plain);
        t.printStr(col[7], y, classAbbrev(m->getClassId()));
    }
}

void Interface_C::buildPercepPane()
{
    const LayoutRect_S& r = layout_.upperRight;
    percepPane_ = std::make_unique<ScrollPane_C>(0, r.left, r.right, getURLineY(1), getURLineY(0));
    const Map_C* map = getCurrentMap();
    if (map && currentWorld_) {
        const uint32_t senses = static_cast<uint32_t>(var(tagkey::Percep1));
        const int x = currentWorld_->getSquareX();
        const int y = currentWorld_->getSquareY();
        const std::string lines[] = {
            (senses & 0x02) ? map->stairsNear(x, y, 3) : std::string(),
            (senses & 0x04) ? map->trapsNear(x, y, 3) : std::string(),
            (senses & 0x08) ? map->secretDoorHere(x, y, getFacing()) : std::string(),
            (senses & 0x10) ? map->stairsDirection(x, y) : std::string(),
        };
        for (const std::string& line : lines)
            if (!line.empty())
                percepPane_->addText((line + "\n").c_str(), &text());
    }
    percepValid_ = true;
}
