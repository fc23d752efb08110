// Windows, objects and fonts destroyed in every order. Each OpenGL name is deleted once, with
// a context of its own share group current, or not at all when that group is gone; the
// context current before a destruction is current after it; the count of owned names
// returns to where it started.
//
// Wrong-context deletes are caught with twin groups: a fresh share group hands out names
// 1, 2, 3, ... in creation order, so two groups built the same way hold the same numbers.
// A name deleted in the wrong one of the two kills the twin's object, which the twin then
// misses.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "gl/gl_objects.hpp"
#include "font/font.hpp"
#include "glfw/window.hpp"
#include "support/gl_test.hpp"
#include "support/robust_util.hpp"
#include "gl/context.hpp"
#include "window/window.hpp"
#include "zarvo.h"

namespace {

using zvtest::currentContext;
using zvtest::CurrentContext;
using zvtest::isGreen;
using zvtest::notBlack;
using zvtest::readBack;

enum class Kind { Buffer, Texture, Program, Sampler };
struct Name {
    Kind kind;
    GLuint number;
    bool operator==(const Name& o) const { return kind == o.kind && number == o.number; }
};
std::ostream& operator<<(std::ostream& os, const Name& n) {
    static const char* kinds[] = {"buffer", "texture", "program", "sampler"};
    return os << kinds[static_cast<int>(n.kind)] << " " << n.number;
}

// Whether the name is in use in the current context.
bool alive(const Name& n) {
    switch (n.kind) {
        case Kind::Buffer: return glIsBuffer(n.number) == GL_TRUE;
        case Kind::Texture: return glIsTexture(n.number) == GL_TRUE;
        case Kind::Program: return glIsProgram(n.number) == GL_TRUE;
        case Kind::Sampler: return glIsSampler(n.number) == GL_TRUE;
    }
    return false;
}

constexpr int W = 400;
constexpr int H = 300;

// A share group of a parent and a child window, with an image, a line plot, a histogram and
// a caption font made while the parent is current and drawn in both windows. Built the same
// way every time, so every scene's group holds the same name numbers.
struct Scene {
    std::unique_ptr<zv::Window> parent;
    std::unique_ptr<zv::Window> child;
    std::unique_ptr<zv::Image> image;
    std::unique_ptr<zv::Plot> plot;
    std::unique_ptr<zv::Histogram> histogram;
    std::unique_ptr<zv::Font> font;

    Scene() {
        parent.reset(new zv::Window(W, H, "parent", nullptr, true));
        child.reset(new zv::Window(W, H, "child", parent.get(), true));
        parent->makeCurrent();
        image.reset(new zv::Image(4, 4, zv::ZV_GRAYSCALE, zv::ZV_UINT8));
        plot.reset(new zv::Plot(2, zv::ZV_FLOAT32));
        histogram.reset(new zv::Histogram(4, zv::ZV_FLOAT32));
        font.reset(new zv::Font());
        font->loadFont(zvtest::dejaVuPath(), 16);
        zvtest::writeBuffer(image->pbo(), std::vector<unsigned char>(16, 200));
        zvtest::writeBuffer(plot->vbo(), std::vector<float>{0.1f, 0.1f, 0.9f, 0.9f});
        zvtest::writeBuffer(histogram->vbo(), std::vector<float>{5, 5, 5, 5});
        plot->setColor(0.0f, 1.0f, 0.0f);
        histogram->setBarColor(0.0f, 1.0f, 0.0f);
        histogram->setAxesLimits(4, 0, 10, 0);
        parent->setFont(font.get());
        child->setFont(font.get());
        // Every object gets its per-window state in both windows.
        EXPECT_TRUE(drawsEverything(*parent));
        EXPECT_TRUE(drawsEverything(*child));
    }

    // Draws the three objects into a 2 x 2 grid of `window` with captions and tells whether
    // each shows: the grey image, green line, green bars and red captions.
    bool drawsEverything(zv::Window& window) const {
        window.grid(2, 2);
        window.draw(0, 0, *image, "image");
        window.draw(1, 0, *plot, "plot");
        window.draw(0, 1, *histogram, "bars");
        zvtest::Snapshot s = readBack(0, 0, W, H);
        window.draw();
        const bool ok = s.count(0, H / 2, W / 2, H, notBlack) > 1000 &&
                        s.count(W / 2, H / 2, W, H, isGreen) > 50 &&
                        s.count(0, 0, W / 2, H / 2, isGreen) > 1000 &&
                        s.count(0, H / 2, W / 2, H, zvtest::isRed) > 10;
        if (!ok) {
            const ::testing::TestInfo* t = ::testing::UnitTest::GetInstance()->current_test_info();
            ADD_FAILURE() << "scene not drawn as expected, picture in "
                          << s.save(std::string("lifetime_") + (t ? t->name() : "scene"));
        }
        return ok;
    }

    // The names the objects own that can be reached from outside: the caller-filled buffers
    // and the font's glyph textures, vertex buffer, program and sampler.
    std::vector<Name> names() const {
        std::vector<Name> n = {{Kind::Buffer, image->pbo()},
                               {Kind::Buffer, plot->vbo()},
                               {Kind::Buffer, histogram->vbo()}};
        const internal::font_impl& f = *font->get()->impl();
        n.push_back({Kind::Buffer, f.vbo()});
        n.push_back({Kind::Program, f.program()});
        n.push_back({Kind::Sampler, f.sampler()});
        for (int k = 0; k < internal::font_impl::NUM_CHARS; ++k)
            n.push_back({Kind::Texture, f.glyphTexture(k)});
        return n;
    }

    // The pieces a destruction order is made of.
    enum Piece { PARENT, CHILD, OBJECTS, FONT };
    void destroy(Piece p) {
        switch (p) {
            case PARENT: parent.reset(); break;
            case CHILD: child.reset(); break;
            case OBJECTS:
                image.reset();
                plot.reset();
                histogram.reset();
                break;
            case FONT: font.reset(); break;
        }
    }
};

// Every name is in use in the context current now (the caller makes the twin's current).
void expectAlive(const std::vector<Name>& names, const char* when) {
    for (const Name& n : names) EXPECT_TRUE(alive(n)) << n << " was deleted " << when;
}
void expectGone(const std::vector<Name>& names, const char* when) {
    for (const Name& n : names) EXPECT_FALSE(alive(n)) << n << " still exists " << when;
}

// Destroys one piece with `current` current and checks it is still current afterwards.
template <class F>
void destroyUnder(zv::Window& current, F&& destroy) {
    current.makeCurrent();
    const CurrentContext before = currentContext();
    destroy();
    EXPECT_TRUE(currentContext() == before) << "the current context changed";
}

TEST(Lifetime, EveryOrderOfParentChildObjectsAndFont) {
    const long start = internal::liveGLObjects();
    // The twin stays current through every destruction and must lose nothing.
    auto twin = std::make_unique<Scene>();
    const std::vector<Name> twinNames = twin->names();
    const long withTwin = internal::liveGLObjects();
    std::vector<int> order = {Scene::PARENT, Scene::CHILD, Scene::OBJECTS, Scene::FONT};
    do {
        SCOPED_TRACE("destruction order " + std::to_string(order[0]) + std::to_string(order[1]) +
                     std::to_string(order[2]) + std::to_string(order[3]) +
                     " (0 parent, 1 child, 2 objects, 3 font)");
        auto scene = std::make_unique<Scene>();
        ASSERT_EQ(scene->names(), twinNames) << "groups built alike should hold alike names";
        for (int piece : order) {
            destroyUnder(*twin->child, [&] { scene->destroy(static_cast<Scene::Piece>(piece)); });
            // A window that is left still draws the objects that are left, captions included
            // (the windows hold the font even when its handle has gone).
            zv::Window* left = scene->parent ? scene->parent.get() : scene->child.get();
            if (left && scene->image) {
                EXPECT_TRUE(scene->drawsEverything(*left));
            }
        }
        twin->child->makeCurrent();
        expectAlive(twinNames, "while another group was destroyed");
        zvtest::expectNoGLError("destroying another group");
        EXPECT_EQ(internal::liveGLObjects(), withTwin);
    } while (std::next_permutation(order.begin(), order.end()));
    EXPECT_TRUE(twin->drawsEverything(*twin->child));
    EXPECT_TRUE(twin->drawsEverything(*twin->parent));
    twin.reset();
    EXPECT_EQ(internal::liveGLObjects(), start);
}

// Objects of a live group destroyed while another group is current: their names go in
// their own group, and the other group's names of the same numbers stay.
TEST(Lifetime, ObjectsDieInTheirOwnGroupWhileAnotherIsCurrent) {
    const long start = internal::liveGLObjects();
    {
        Scene a;
        Scene b;
        const std::vector<Name> names = a.names();
        ASSERT_EQ(names, b.names());
        const std::vector<Name> objectNames(names.begin(), names.begin() + 3);
        const std::vector<Name> fontNames(names.begin() + 3, names.end());
        destroyUnder(*b.parent, [&] { a.destroy(Scene::OBJECTS); });
        destroyUnder(*b.parent, [&] { a.destroy(Scene::FONT); });  // the windows keep the font
        a.child->makeCurrent();
        expectGone(objectNames, "in its own group after its objects were destroyed");
        expectAlive(fontNames, "while windows still held the font");
        destroyUnder(*b.parent, [&] { a.destroy(Scene::CHILD); });
        destroyUnder(*b.parent, [&] { a.destroy(Scene::PARENT); });
        expectAlive(names, "in the other group");
        EXPECT_TRUE(b.drawsEverything(*b.child));
        zvtest::expectNoGLError("the other group");
    }
    EXPECT_EQ(internal::liveGLObjects(), start);
}

// The parent goes first: the child keeps the group, its colour maps and the objects, and
// later deletes their names in its own context.
TEST(Lifetime, ParentWindowBeforeItsChild) {
    const long start = internal::liveGLObjects();
    Scene s;
    const std::vector<Name> names = s.names();
    destroyUnder(*s.child, [&] { s.destroy(Scene::PARENT); });
    EXPECT_TRUE(s.drawsEverything(*s.child));
    destroyUnder(*s.child, [&] { s.destroy(Scene::OBJECTS); });
    destroyUnder(*s.child, [&] { s.destroy(Scene::FONT); });
    expectGone(std::vector<Name>(names.begin(), names.begin() + 3), "after its object went");
    expectAlive(std::vector<Name>(names.begin() + 3, names.end()),
                "while the child holds the font");
    zvtest::expectNoGLError("the child");
    s.destroy(Scene::CHILD);
    EXPECT_EQ(internal::liveGLObjects(), start);
    EXPECT_EQ(wtk::Widget::current(), nullptr);
}

// The last window of the group goes while everything is still held, and no window at all is
// left when the objects and the font go: nothing is deleted, nothing crashes, and the count
// comes back. A window made afterwards starts clean.
TEST(Lifetime, ObjectsAndFontOutliveEveryWindow) {
    const long start = internal::liveGLObjects();
    auto s = std::make_unique<Scene>();
    s->destroy(Scene::CHILD);
    s->destroy(Scene::PARENT);
    EXPECT_EQ(wtk::Widget::current(), nullptr);
    EXPECT_EQ(internal::currentWindow(), nullptr);
    s.reset();
    EXPECT_EQ(internal::liveGLObjects(), start);
    Scene again;
    EXPECT_TRUE(again.drawsEverything(*again.parent));
}

// A font given to two windows of a group outlives both, whichever goes first; the window
// left draws its captions until it goes.
TEST(Lifetime, FontSharedByTwoWindowsOutlivesBoth) {
    const long start = internal::liveGLObjects();
    for (bool parentFirst : {true, false}) {
        SCOPED_TRACE(parentFirst ? "parent first" : "child first");
        Scene s;
        s.destroy(Scene::OBJECTS);
        zv::Font held(*s.font);
        s.destroy(Scene::FONT);
        std::unique_ptr<zv::Window>& first = parentFirst ? s.parent : s.child;
        std::unique_ptr<zv::Window>& second = parentFirst ? s.child : s.parent;
        destroyUnder(*second, [&] { first.reset(); });
        zv::Image image(2, 2, zv::ZV_GRAYSCALE, zv::ZV_UINT8);
        second->grid(1, 1);
        second->draw(0, 0, image, "caption");
        EXPECT_GT(readBack(0, 0, W, H).count(0, 0, W, H, zvtest::isRed), 20);
        second->draw();
        second.reset();
        EXPECT_TRUE(held.get()->impl()->loaded());
    }
    EXPECT_EQ(internal::liveGLObjects(), start);
}

// An object whose share group is gone keeps its handle working: the values it was given are
// read back, setters take new ones, copies come and go. Its OpenGL names went with the
// group's last context, so no window can draw it: a draw raises zv::ArgumentError before any
// OpenGL call, leaving the window's group, its objects of the same name numbers and the
// current context as they were. Destroying it calls nothing.
TEST(Lifetime, ObjectsWhoseGroupIsGone) {
    const long start = internal::liveGLObjects();
    auto first = std::make_unique<Scene>();
    auto orphans = std::make_unique<Scene>();  // its objects are moved out, its windows go
    std::unique_ptr<zv::Image> image = std::move(orphans->image);
    std::unique_ptr<zv::Plot> plot = std::move(orphans->plot);
    std::unique_ptr<zv::Histogram> histogram = std::move(orphans->histogram);
    orphans.reset();
    first.reset();
    {
        Scene twin;  // a fresh group with the same name numbers
        const std::vector<Name> twinNames = twin.names();
        EXPECT_EQ(image->pbo(), twinNames[0].number);

        EXPECT_EQ(image->width(), 4u);
        EXPECT_EQ(image->size(), 16u);
        EXPECT_EQ(plot->size(), 16u);
        EXPECT_EQ(histogram->size(), 16u);
        plot->setColor(0xFF0000FF);
        plot->setAxesLimits(5, -5, 5, -5);
        plot->setXAxisTitle("x");
        histogram->setAxesLimits(1, 0, 1, 0);
        EXPECT_EQ(plot->xmin(), -5.0f);
        {
            zv::Image imageCopy(*image);
            zv::Plot plotCopy(*plot);
        }

        for (zv::Window* w : {twin.parent.get(), twin.child.get()}) {
            w->makeCurrent();
            const CurrentContext before = currentContext();
            EXPECT_THROW(w->draw(*image), zv::ArgumentError);
            EXPECT_THROW(w->draw(*plot), zv::ArgumentError);
            EXPECT_THROW(w->draw(*histogram), zv::ArgumentError);
            w->grid(1, 1);
            try {
                w->draw(0, 0, *histogram, "caption");
                ADD_FAILURE() << "a cell draw of an object of a gone group did not raise";
            } catch (const zv::ArgumentError& e) {
                EXPECT_EQ(e.argIndex(), 3);
                EXPECT_NE(std::string(e.expectedCondition()).find("share group"),
                          std::string::npos);
            }
            EXPECT_TRUE(currentContext() == before);
            zvtest::expectNoGLError("refused draws");
        }
        destroyUnder(*twin.parent, [&] {
            image.reset();
            plot.reset();
            histogram.reset();
        });
        twin.parent->makeCurrent();
        expectAlive(twinNames, "after objects of a gone group were destroyed");
        EXPECT_TRUE(twin.drawsEverything(*twin.parent));
    }
    EXPECT_EQ(internal::liveGLObjects(), start);
}

}  // namespace
