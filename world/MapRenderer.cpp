#include "world/MapRenderer.h"

#include "audio/MasterAudio.h"
#include "core/GameConfig.h"
#include "core/Log.h"
#include "core/TextureList.h"
#include "rules/TagKeys.h"
#include "world/GameWorld.h"
#include "world/Map.h"
#include "world/Movement.h"
#include "world/SquarePass.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

namespace maprender {

namespace {

GLuint gListBase = 0;
Camera_S gCamera;

void quad(const float n[3], const float v[4][5])
{
    glNormal3fv(n);
    for (int i = 0; i < 4; ++i) {
        glTexCoord2f(v[i][3], v[i][4]);
        glVertex3f(v[i][0], v[i][1], v[i][2]);
    }
}

void buildLists(GLuint base)
{
    const float e = 0.4999999f;
    const float back[3] = {0, 0, 1};
    for (int h = 1; h <= 4; ++h) {
        const float v[4][5] = {
            {-e, 0, -e, 0, 1}, {e, 0, -e, 1, 1}, {e, float(h), -e, 1, 0}, {-e, float(h), -e, 0, 0}};
        glNewList(base + WALL1 + h - 1, GL_COMPILE);
        glBegin(GL_QUADS);
        quad(back, v);
        glEnd();
        glEndList();
    }
    for (int h = 1; h <= 4; ++h) {
        const float v[4][5] = {
            {0.5f, 0, 0, 1, 1}, {0.5f, float(h), 0, 1, 0}, {-0.5f, float(h), 0, 0, 0}, {-0.5f, 0, 0, 0, 1}};
        glNewList(base + BILLBOARD1 + h - 1, GL_COMPILE);
        glBegin(GL_QUADS);
        quad(back, v);
        glEnd();
        glEndList();
    }
    {
        const float up[3] = {0, 1, 0};
        const float v[4][5] = {
            {-0.5f, 0, 0.5f, 0, 1}, {0.5f, 0, 0.5f, 1, 1}, {0.5f, 0, -0.5f, 1, 0}, {-0.5f, 0, -0.5f, 0, 0}};
        glNewList(base + FLOOR, GL_COMPILE);
        glBegin(GL_QUADS);
        quad(up, v);
        glEnd();
        glEndList();
    }
    {
        const float down[3] = {0, -1, 0};
        const float v[4][5] = {
            {-0.5f, 1, -0.5f, 0, 1}, {0.5f, 1, -0.5f, 1, 1}, {0.5f, 1, 0.5f, 1, 0}, {-0.5f, 1, 0.5f, 0, 0}};
        glNewList(base + CEILING, GL_COMPILE);
        glBegin(GL_QUADS);
        quad(down, v);
        glEnd();
        glEndList();
    }
}

// Per-map drawing state: the square order, made once per map.
class MapDraw_C : public MapDrawData_C {
public:
    SquarePass_C pass;
};

MapDraw_C& drawData(Map_C& map)
{
    auto* d = static_cast<MapDraw_C*>(map.getDrawData());
    if (!d) {
        auto made = std::make_unique<MapDraw_C>();
        d = made.get();
        map.setDrawData(std::move(made));
    }
    return *d;
}

void bindTexture(const Texture_S* t)
{
    glBindTexture(GL_TEXTURE_2D, t ? t->texID : 0);
}

// Height in squares of a wall of that texture level (as its display list).
int wallHeight(const Texture_S* t)
{
    return (t->level >= 2 && t->level <= 4) ? t->level : 1;
}

// A plain cell walled on all four sides at least h high: from outside, its
// floor, its ceiling and whatever stands inside its walls up to h cannot be
// seen (the eye is never above a wall's top).
bool enclosed(const CellDef_S* c, int h)
{
    if (!c || c->hanging() || c->missing)
        return false;
    for (const Texture_S* w : c->wall)
        if (!w || wallHeight(w) < h)
            return false;
    return true;
}

// One square at the current origin. skipWalls: bit n leaves out the wall of
// side n (0 north, 1 west, 2 south, 3 east). Walls come before the floor, so
// that the depth test hides the floor behind the square's own near wall.
void drawCell(const CellDef_S& cell, GLuint floorTex, GLuint ceilingTex, bool skipFloorCeiling, int floorTurns,
              unsigned skipWalls)
{
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    const bool hanging = cell.hanging();
    for (int side = 0; side < 4; ++side) {
        const Texture_S* wall = cell.wall[side];
        if (!wall || (skipWalls & (1u << side)))
            continue;
        bindTexture(wall);
        glPushMatrix();
        if (hanging) {
            const int raise = int(cell.threshold) - int(wall->level);
            if (raise > 0)
                glTranslatef(0, float(raise), 0);
        }
        if (side)
            glRotatef(90.0f * side, 0, 1, 0);
        glCallList(listName(wallList(wall->level)));
        glPopMatrix();
    }
    if (!skipFloorCeiling && floorTex) {
        if (cell.floor && !hanging) {
            bindTexture(cell.floor);
            glCallList(gListBase + FLOOR);
        } else {
            glBindTexture(GL_TEXTURE_2D, floorTex);
            glPushMatrix();
            glRotatef(90.0f * floorTurns, 0, 1, 0);
            glCallList(gListBase + FLOOR);
            glPopMatrix();
        }
    }
    if (!skipFloorCeiling && ceilingTex) {
        glBindTexture(GL_TEXTURE_2D, ceilingTex);
        if (hanging && cell.threshold > 1) {
            glPushMatrix();
            glTranslatef(0, float(cell.threshold - 1), 0);
            glCallList(gListBase + CEILING);
            glPopMatrix();
        } else {
            glCallList(gListBase + CEILING);
        }
    }
}

void drawBillboard(const CellDef_S& cell, int viewerX, int viewerY, int x, int y, int pass)
{
    if (!cell.billboard || cell.hanging())
        return;
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    bindTexture(cell.billboard);
    glPushMatrix();
    if (pass) {
        glRotatef(x < viewerX ? 90.0f : -90.0f, 0, 1, 0);
    } else {
        const double angle = movement::billboardAngle(x - viewerX, y - viewerY);
        if (angle != 0.0)
            glRotatef(float(angle), 0, 1, 0);
    }
    glCallList(listName(billboardList(cell.billboard->level)));
    glPopMatrix();
}

void setLight(GLenum light, const float ambient[4], const float diffuse[4], const float specular[4])
{
    glLightfv(light, GL_AMBIENT, ambient);
    glLightfv(light, GL_DIFFUSE, diffuse);
    glLightfv(light, GL_SPECULAR, specular);
}

void enableIf(GLenum cap, bool on)
{
    if (on)
        glEnable(cap);
    else
        glDisable(cap);
}

} // namespace

ViewCone_S viewCone(const Camera_S& c, float extra)
{
    ViewCone_S v;
    const double f = c.facing * 3.14159265358979 / 180.0;
    v.x = c.x;
    v.z = c.z;
    v.fx = float(-std::sin(f));
    v.fz = float(-std::cos(f));
    v.margin = 1.2f + extra * 1.6f;
    v.back = 0.75f + extra;
    return v;
}

bool ViewCone_S::sees(float px, float pz) const
{
    const float dx = px - x, dz = pz - z;
    const float d = dx * fx + dz * fz;        // ahead of the eye
    const float l = dx * -fz + dz * fx;       // to the side
    if (d < -back)
        return false;
    return std::fabs(l) - kSlope * d <= margin;
}

float shadowReach(double sunX, double sunY)
{
    const double len = std::sqrt(sunX * sunX + sunY * sunY);
    double ly = len > 0 ? std::fabs(sunY / len) : 1.0;
    if (ly < 0.2)
        ly = 0.2;
    const double lx = len > 0 ? std::fabs(sunX / len) : 0.0;
    return float(4.0 * lx / ly) + 1.0f;   // walls stand at most 4 high
}

bool ensureDisplayLists()
{
    if (gListBase && glIsList(gListBase))
        return true;
    gListBase = glGenLists(LIST_COUNT);
    if (!gListBase) {
        VELL_LOG(1, "ERROR!  Could not generate lists!\n");
        return false;
    }
    buildLists(gListBase);
    return true;
}

unsigned listName(int list)
{
    return gListBase ? gListBase + static_cast<unsigned>(list) : 0;
}

int wallList(int level)
{
    return (level >= 2 && level <= 4) ? WALL1 + level - 1 : WALL1;
}

int billboardList(int level)
{
    return (level >= 2 && level <= 4) ? BILLBOARD1 + level - 1 : BILLBOARD1;
}

void setCamera(const Camera_S& c) { gCamera = c; }
const Camera_S& camera() { return gCamera; }

EnvParams_S envParamsFor(Map_C& map)
{
    EnvInput_S in;
    if (gameworld) {
        const GameClock_C& clock = gameworld->getClock();
        in.weather = static_cast<uint32_t>(gameworld->getVar(tagkey::Weather));
        in.hour = static_cast<int>(clock.getHour());
        in.minute = static_cast<int>(clock.getMinute());
        in.second = static_cast<int>(clock.getSecond());
        in.now = clock.getTicks();
    }
    in.changeStart = static_cast<uint32_t>(gameworld ? gameworld->getVar(tagkey::WChange) : map.weatherChangeStart());
    in.specLite = map.hasSpecialLight();
    for (int i = 0; i < 3; ++i) {
        in.specFog[i] = map.getFogColour()[i];
        in.specLight[i] = map.getSpecialLight()[i];
        in.partyLight[i] = map.getPartyLightColour()[i];
    }
    in.specFogDensity = map.getFogDensity();
    in.partyLightStrength = map.getPartyLightStrength();
    return computeEnvParams(in);
}

} // namespace maprender

using namespace maprender;

void Map_C::drawEnv()
{
    const EnvParams_S p = envParamsFor(*this);
    changeFraction_ = p.changeFraction;
    dayFraction_ = p.dayFraction;
    sunDir_[0] = p.sunX;
    sunDir_[1] = p.sunY;
    sunDir_[2] = 0.0;
    for (int i = 0; i < 3; ++i)
        skyColour_[i] = p.sky[i];
    if (!hasCeiling_) {
        for (int i = 0; i < 4; ++i) {
            clouds_[0].colour[i] = p.cloud1[i];
            clouds_[1].colour[i] = p.cloud2[i];
        }
        clouds_[0].repeat = p.repeat1;
        clouds_[1].repeat = p.repeat2;
        clouds_[0].factor = p.second1;
        clouds_[1].factor = p.second2;
    }

    for (GLenum l : {GL_LIGHT0, GL_LIGHT1, GL_LIGHT2, GL_LIGHT4})
        glDisable(l);
    setLight(GL_LIGHT0, p.sunAmbient, p.sunDiffuse, p.sunSpecular);
    glLightfv(GL_LIGHT0, GL_POSITION, p.sunPosition);
    enableIf(GL_LIGHT0, p.light0);
    enableIf(GL_LIGHT1, p.light1);

    glFogi(GL_FOG_MODE, p.fogMode);
    glFogfv(GL_FOG_COLOR, p.fogColour);
    glFogf(GL_FOG_DENSITY, p.fogDensity);

    const float black[4] = {0, 0, 0, 1};
    setLight(GL_LIGHT3, p.partyLight, p.partyLight, p.partyLight);
    glLightf(GL_LIGHT3, GL_CONSTANT_ATTENUATION, 1.0f);
    glLightf(GL_LIGHT3, GL_LINEAR_ATTENUATION, 0.0f);
    glLightf(GL_LIGHT3, GL_QUADRATIC_ATTENUATION, p.partyLightQuadratic);
    enableIf(GL_LIGHT3, p.partyLightOn);
    if (p.light4) {
        setLight(GL_LIGHT4, p.specLight, black, black);
        glEnable(GL_LIGHT4);
    }
    if (p.setRain)
        maserAudio.setRain(p.rainIndex, p.rainLevel);
}

void Map_C::drawSky()
{
    if (hasCeiling_)
        return;
    const Camera_S& cam = gCamera;
    // Everything of the sky lies at the far plane: drawn first it is the
    // background, drawn after the squares it only fills what they left.
    glPushAttrib(GL_ENABLE_BIT | GL_FOG_BIT | GL_CURRENT_BIT | GL_TEXTURE_BIT | GL_DEPTH_BUFFER_BIT
                 | GL_VIEWPORT_BIT);
    glDepthRange(1.0, 1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDepthMask(GL_FALSE);
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glDisable(GL_TEXTURE_2D);

    // The box, in the sky colour.
    glColor4f(skyColour_[0], skyColour_[1], skyColour_[2], 1.0f);
    const float L = 1000.0f, lo = -200.0f, hi = 500.0f, lid = 5.0f;
    glBegin(GL_QUADS);
    glVertex3f(-L, lid, -L); glVertex3f(L, lid, -L); glVertex3f(L, lid, L); glVertex3f(-L, lid, L);
    glVertex3f(-L, lo, -L); glVertex3f(L, lo, -L); glVertex3f(L, hi, -L); glVertex3f(-L, hi, -L);
    glVertex3f(L, lo, L); glVertex3f(-L, lo, L); glVertex3f(-L, hi, L); glVertex3f(L, hi, L);
    glVertex3f(-L, lo, L); glVertex3f(-L, lo, -L); glVertex3f(-L, hi, -L); glVertex3f(-L, hi, L);
    glVertex3f(L, lo, -L); glVertex3f(L, lo, L); glVertex3f(L, hi, L); glVertex3f(L, hi, -L);
    glEnd();

    // The sun, through slightly thinner fog.
    if (sunTex_) {
        if (gameConfig.fog)
            glEnable(GL_FOG);
        GLfloat density = 0;
        glGetFloatv(GL_FOG_DENSITY, &density);
        glFogf(GL_FOG_DENSITY, density > 0.025f ? density - 0.025f : 0.0f);
        glEnable(GL_TEXTURE_2D);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
        glBindTexture(GL_TEXTURE_2D, sunTex_);
        const float sx = cam.x + float(sunDir_[0]) * 640.0f;
        const float sy = float(sunDir_[1]) * -560.0f;
        const float h = 40.0f;
        glBegin(GL_QUADS);
        glTexCoord2f(0, 0); glVertex3f(sx - h, sy - h, 0);
        glTexCoord2f(1, 0); glVertex3f(sx + h, sy - h, 0);
        glTexCoord2f(1, 1); glVertex3f(sx + h, sy + h, 0);
        glTexCoord2f(0, 1); glVertex3f(sx - h, sy + h, 0);
        glEnd();
        glFogf(GL_FOG_DENSITY, density);
    }

    // The clouds, seen from the eye at the origin so they never come nearer.
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    const double f = cam.facing * 3.1415926535898 / 180.0;
    gluLookAt(0, 0.5, 0, -10 * std::sin(f), 0.5, -10 * std::cos(f), 0, 1, 0);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    // The clouds drift with game time, so a frame never changes unless time passes.
    const uint32_t now = gameworld ? gameworld->getClock().getTicks() : 0;
    struct Plane { float y, extent, repeats; };
    const Plane planes[2] = {{3.5f, 1000.0f, 40.0f}, {2.5f, 100.0f, 10.0f}};
    for (int i = 0; i < 2; ++i) {
        CloudLayer_S& c = clouds_[i];
        if (!cloudTex_[i])
            continue;
        c.offset = static_cast<float>(std::fmod(double(c.speed) * (now % 100000u), 1.0));
        const float r = planes[i].repeats * c.repeat;
        const float o = c.offset, e = planes[i].extent, y = planes[i].y;
        glBindTexture(GL_TEXTURE_2D, cloudTex_[i]);
        glColor4fv(c.colour);
        glBegin(GL_QUADS);
        glTexCoord2f(o, o); glVertex3f(-e, y, -e);
        glTexCoord2f(o, o + r); glVertex3f(-e, y, e);
        glTexCoord2f(o + r, o + r); glVertex3f(e, y, e);
        glTexCoord2f(o + r, o); glVertex3f(e, y, -e);
        glEnd();
    }
    glPopMatrix();
    glPopAttrib();
}

void maprender::drawSquares(Map_C& map, int x, int y, int facing, int pass, int parts)
{
    if (!ensureDisplayLists())
        return;
    if ((parts & OPAQUE) && map.inGrid(x, y) && map.getMapInfo())
        map.getMapInfo()->orSquareState(x, y, 0x01);
    MapDraw_C& d = drawData(map);
    d.pass.build(x, y, facing, gameConfig.graphics, map.getWidth(), map.getHeight());

    // Walking through walls: the wall in front of the party is not drawn,
    // from neither side.
    const bool through = gameworld && gameworld->getVar(tagkey::WalkThrough) != 0;
    const movement::Step_S ahead = movement::stepFor(facing);
    const int aheadX = x + ahead.dx, aheadY = y + ahead.dy;
    const int facingBack = (facing + 180) % 360;

    // Squares outside the camera's view cone are skipped (the window is
    // laid out for the party's facing, the camera may look elsewhere while a
    // turn is animated). Shadows reach in from outside: wider margin then.
    const ViewCone_S cone = viewCone(gCamera, pass ? shadowReach(map.sunDirection()[0], map.sunDirection()[1]) : 0.0f);

    glMatrixMode(GL_MODELVIEW);
    const std::vector<SquareRef_S>& squares = d.pass.squares();
    // Floors, ceilings and walls are opaque: nearest first, so that the
    // depth test throws away what they hide before it is shaded; blending
    // only costs here (the alpha test cuts the colour-keyed holes).
    const GLboolean blend = glIsEnabled(GL_BLEND);
    if (pass == 0)
        glDisable(GL_BLEND);
    for (auto it = squares.rbegin(); (parts & OPAQUE) && it != squares.rend(); ++it) {
        const SquareRef_S& s = *it;
        if (!cone.sees(float(s.x), float(-s.y)))
            continue;
        const CellDef_S* cell = map.getCell(s.x, s.y);
        if (!cell || cell->missing)
            continue;   // nothing to draw for an unknown cell
        const bool viewerHere = s.x == x && s.y == y;
        // Walking through a wall the party looks into the square ahead.
        auto lookedInto = [&](int px, int py) {
            return (px == x && py == y) || (through && px == aheadX && py == aheadY);
        };
        const bool seenInside = lookedInto(s.x, s.y);
        unsigned skip = 0;
        if (through) {
            if (viewerHere)
                skip |= 1u << (facing / 90);
            else if (s.x == aheadX && s.y == aheadY)
                skip |= 1u << (facingBack / 90);
        }
        // A wall between two walled blocks shows to nobody outside them,
        // and its shadow falls inside theirs.
        for (int side = 0; side < 4; ++side) {
            const Texture_S* w = cell->wall[side];
            if (!w || seenInside)
                continue;
            const movement::Step_S n = movement::stepFor(side * 90);
            const int nx = s.x + n.dx, ny = s.y + n.dy;
            if (!lookedInto(nx, ny) && enclosed(cell, wallHeight(w)) && enclosed(map.getCell(nx, ny), wallHeight(w)))
                skip |= 1u << side;
        }
        const bool hideFloor = !seenInside && enclosed(cell, 1);
        glPushMatrix();
        glTranslatef(float(s.x), 0.0f, float(-s.y));
        drawCell(*cell, map.getFloorTexture(), map.getCeilingTexture(), pass != 0 || hideFloor, (s.x + s.y) % 4, skip);
        glPopMatrix();
    }
    if (blend)
        glEnable(GL_BLEND);
    // Billboards blend at their edges: farthest first.
    for (const SquareRef_S& s : squares) {
        if (!(parts & BILLBOARDS))
            break;
        const CellDef_S* cell = map.getCell(s.x, s.y);
        if (!cell || !cell->billboard || !cone.sees(float(s.x), float(-s.y)))
            continue;
        glPushMatrix();
        glTranslatef(float(s.x), 0.0f, float(-s.y));
        drawBillboard(*cell, x, y, s.x, s.y, pass);
        glPopMatrix();
    }
}

void Map_C::drawCells(int x, int y, int facing, int pass)
{
    drawSquares(*this, x, y, facing, pass, ALL_PARTS);
}

void Map_C::beginShadows()
{
    double lx = sunDir_[0], ly = sunDir_[1];
    const double len = std::sqrt(lx * lx + ly * ly);
    if (len > 0) {
        lx /= len;
        ly /= len;
    } else {
        lx = 0;
        ly = -1;
    }
    // A sun on the horizon would throw endless shadows: keep it a little up.
    if (std::fabs(ly) < 0.2)
        ly = ly < 0 ? -0.2 : 0.2;
    // Flatten along (lx, ly, 0) onto the plane y = 0.001: a point p goes to
    // p - (p.y - 0.001) / ly x (lx, ly, 0).
    const double k = lx / ly;
    const GLfloat m[16] = {
        1, 0, 0, 0,
        float(-k), 0, 0, 0,
        0, 0, 1, 0,
        float(0.001 * k), 0.001f, 0, 1,
    };
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_STENCIL_BUFFER_BIT | GL_DEPTH_BUFFER_BIT
                 | GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glMultMatrixf(m);
    glDisable(GL_LIGHTING);
    // Fog stays on: it turns a distant shadow into the fog colour, so that
    // shadows fade with what casts them instead of showing through the fog.
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(0.0f, 0.0f, 0.0f, shadowAlphaFor(clouds_[0].repeat));
    glDepthMask(GL_FALSE);
    glClearStencil(0);
    glClear(GL_STENCIL_BUFFER_BIT);
    glEnable(GL_STENCIL_TEST);
    glStencilFunc(GL_EQUAL, 0, 0xFF);
    glStencilOp(GL_KEEP, GL_KEEP, GL_INCR);
}

void Map_C::endShadows()
{
    glDisable(GL_STENCIL_TEST);
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
}
