// The save archive against a plain model of what it should hold: a long
// seeded run of store / remove / openDir / commit / rollback / reopen,
// writes that fail at every point of a scenario, and a writer killed in the
// middle of its work. After each of them the file must open to the working
// state (or the one before the operation that failed), and a rollback must
// give the committed state.
#include "ArchiveTestUtil.h"

#include "platform/FileIO.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <random>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

using namespace archtest;

namespace {

// ---------------------------------------------------------------- the model

using Records = std::map<std::string, std::map<std::string, std::string>>; // dir -> name -> bytes

struct Model {
    Records working;
    Records committed;
    std::set<std::string> dirs{""}; // directories never go away once made

    static bool under(const std::string& dir, const std::string& top) {
        return top.empty() || dir == top || dir.compare(0, top.size() + 1, top + "/") == 0;
    }
    void addDir(const std::string& path) {
        for (size_t p = path.find('/'); p != std::string::npos; p = path.find('/', p + 1))
            dirs.insert(path.substr(0, p));
        dirs.insert(path);
    }
    void commit(const std::string& top) { copyTree(working, committed, top); }
    void rollback(const std::string& top) { copyTree(committed, working, top); }
    static void copyTree(const Records& from, Records& to, const std::string& top) {
        for (auto it = to.begin(); it != to.end();)
            it = under(it->first, top) ? to.erase(it) : std::next(it);
        for (const auto& d : from)
            if (under(d.first, top))
                to[d.first] = d.second;
    }
};

const std::vector<std::string> DIRS = {"", "hall", "map", "map/town", "map/town/inn", "shop"};

DirHandle_C openPath(ArchiveFile_C& a, const std::string& path) {
    DirHandle_C d(&a);
    size_t start = 0;
    while (start < path.size()) {
        size_t slash = path.find('/', start);
        std::string part = path.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        d = d->openDir(part.c_str());
        start = slash == std::string::npos ? path.size() : slash + 1;
    }
    return d;
}

std::string childName(const std::string& parent, const std::string& dir) {
    if (!Model::under(dir, parent) || dir == parent)
        return "";
    std::string rest = parent.empty() ? dir : dir.substr(parent.size() + 1);
    return rest.find('/') == std::string::npos ? rest : "";
}

::testing::AssertionResult holds(ArchiveFile_C& a, const Model& m, const Records& recs) {
    for (const std::string& dir : m.dirs) {
        DirHandle_C d = openPath(a, dir);
        std::set<std::string> expect;
        auto it = recs.find(dir);
        if (it != recs.end())
            for (const auto& r : it->second)
                expect.insert(r.first);
        for (const std::string& other : m.dirs)
            if (!childName(dir, other).empty())
                expect.insert(childName(dir, other));
        std::set<std::string> got;
        for (int i = 0; i < d->getEntryCount(); ++i)
            got.insert(d->getEntryName(i));
        if (got != expect) {
            std::string g, e;
            for (const auto& s : got)
                g += s + " ";
            for (const auto& s : expect)
                e += s + " ";
            return ::testing::AssertionFailure() << "directory '" << dir << "' holds [" << g << "], expected [" << e
                                                 << "]";
        }
        if (it == recs.end())
            continue;
        for (const auto& r : it->second) {
            auto rec = d->load(r.first.c_str());
            auto* b = dynamic_cast<BytesRec_C*>(rec.get());
            if (!b || b->bytes() != r.second)
                return ::testing::AssertionFailure() << "record " << dir << "/" << r.first << " differs";
        }
    }
    return ::testing::AssertionSuccess();
}

long fileSize(const std::string& path) { return static_cast<long>(readFile(path).size()); }

// The file opens to the working state, and a copy of it rolls back to the
// committed one.
::testing::AssertionResult fileHolds(const std::string& path, const Model& m) {
    {
        auto a = reopen(path);
        if (!a)
            return ::testing::AssertionFailure() << "the file does not open";
        auto r = holds(*a, m, m.working);
        if (!r)
            return r << " (working state after reopening)";
        if (!spaceIsSound(*a, fileSize(path)))
            return spaceIsSound(*a, fileSize(path));
    }
    const std::string copy = path + ".copy";
    writeFile(copy, readFile(path));
    auto a = reopen(copy);
    if (!a)
        return ::testing::AssertionFailure() << "the copy does not open";
    if (!a->rollback())
        return ::testing::AssertionFailure() << "rollback failed";
    auto r = holds(*a, m, m.committed);
    a.reset();
    std::remove(copy.c_str());
    if (!r)
        return r << " (committed state after reopening and rolling back)";
    return ::testing::AssertionSuccess();
}

std::string payload(std::mt19937& rng, int maxLen) {
    std::string s(rng() % static_cast<unsigned>(maxLen + 1), '\0');
    for (char& c : s)
        c = static_cast<char>(rng());
    return s;
}

class ArchiveModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        registerBytes();
        path = tempPath(::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::remove(path.c_str());
    }
    void TearDown() override {
        vell::setWriteHook(nullptr);
        std::remove(path.c_str());
    }
    std::string path;
};

// ---------------------------------------------------------------- random run

TEST_F(ArchiveModelTest, LongRandomRunMatchesTheModel) {
    std::mt19937 rng(20261210);
    Model m;
    auto a = reopen(path);
    ASSERT_TRUE(a);
    const char* names[] = {"Aldo", "Brin", "Cara", "Dorn", "Elia", "Fenn", "Gale"};
    for (int step = 0; step < 2500; ++step) {
        const std::string dir = DIRS[rng() % DIRS.size()];
        const unsigned op = rng() % 100;
        std::string what;
        if (op < 45) {
            std::string name = names[rng() % 7];
            std::string bytes = payload(rng, rng() % 4 == 0 ? 3000 : 200);
            what = "store " + dir + "/" + name;
            ASSERT_TRUE(openPath(*a, dir)->store(BytesRec_C(RefStr_C(name.c_str()), bytes))) << what;
            m.addDir(dir);
            m.working[dir][name] = bytes;
        } else if (op < 62) {
            std::string name = names[rng() % 7];
            what = "remove " + dir + "/" + name;
            DirHandle_C d = openPath(*a, dir);
            m.addDir(dir);
            bool present = m.working[dir].count(name) > 0;
            int r = d->remove(name.c_str());
            if (present) {
                ASSERT_GE(r, 0) << what;
            } else {
                ASSERT_EQ(r, d->getEntryCount()) << what;
            }
            m.working[dir].erase(name);
        } else if (op < 67) {
            what = "open " + dir;
            openPath(*a, dir);
            m.addDir(dir);
        } else if (op < 77) {
            what = "commit";
            ASSERT_TRUE(a->commit());
            m.commit("");
        } else if (op < 82) {
            what = "rollback";
            ASSERT_TRUE(a->rollback());
            m.rollback("");
        } else if (op < 86) {
            what = "commit " + dir;
            ASSERT_TRUE(openPath(*a, dir)->commit()) << what;
            m.addDir(dir);
            m.commit(dir);
        } else if (op < 90) {
            what = "rollback " + dir;
            ASSERT_TRUE(openPath(*a, dir)->rollback()) << what;
            m.addDir(dir);
            m.rollback(dir);
        } else if (op < 95) {
            what = "reopen";
            a.reset();
            ASSERT_TRUE(fileHolds(path, m)) << "step " << step;
            a = reopen(path);
            ASSERT_TRUE(a);
        } else {
            what = "hold handles";
            // Handles kept while others are opened must stay the same object.
            DirHandle_C h1 = openPath(*a, "hall");
            DirHandle_C s = openPath(*a, "shop");
            DirHandle_C h2 = openPath(*a, "hall");
            ASSERT_EQ(h1.get(), h2.get());
            m.addDir("hall");
            m.addDir("shop");
        }
        ASSERT_TRUE(holds(*a, m, m.working)) << "step " << step << ": " << what;
        ASSERT_TRUE(spaceIsSound(*a, fileSize(path))) << "step " << step << ": " << what;
        ASSERT_TRUE(noSpaceLost(*a)) << "step " << step << ": " << what;
    }
    // Free space is reused: the file stays within a small multiple of what
    // it holds.
    std::vector<std::pair<ArchiveFile_C::Block, std::string>> blocks;
    collectBlocks(*a, blocks, "");
    long held = a->rootBlock().size;
    for (const auto& b : blocks)
        held += b.first.size;
    EXPECT_LT(fileSize(path), 2 * held + 16384) << "the archive holds " << held << " bytes";
    a.reset();
    ASSERT_TRUE(fileHolds(path, m));
}

// ---------------------------------------------------------------- failing writes

enum class Fault { FailOne, ShortOne, FailFromHere, ShortThenFail };

// Makes write number k (counting from 1) misbehave.
struct Injector {
    Fault fault;
    long k;
    long count = 0;
    bool fired = false;

    long operator()(int fd, size_t n) {
        ++count;
        bool broken = fault == Fault::FailFromHere || fault == Fault::ShortThenFail;
        if (count < k || (count > k && !broken))
            return static_cast<long>(n);
        fired = true;
        if (count > k)
            return -1;
        // The header is one 12-byte write into the file's first sector,
        // which a disk writes whole or not at all; it is never torn.
        bool header = ::lseek(fd, 0, SEEK_CUR) == 0;
        if ((fault == Fault::ShortOne || fault == Fault::ShortThenFail) && !header)
            return static_cast<long>(n / 2);
        return -1;
    }
};

struct Op {
    enum Kind { Store, Remove, Commit, Rollback, OpenDir } kind;
    std::string dir, name, bytes;
};

// A base archive with a committed state and uncommitted changes, and a
// scenario of operations on it.
void makeBase(const std::string& path, Model& m) {
    auto a = reopen(path);
    for (const std::string& d : DIRS) {
        openPath(*a, d);
        m.addDir(d);
    }
    auto put = [&](const std::string& d, const std::string& n, const std::string& b) {
        EXPECT_TRUE(openPath(*a, d)->store(BytesRec_C(RefStr_C(n.c_str()), b))) << d << "/" << n;
        m.working[d][n] = b;
    };
    put("hall", "Aldo", std::string(300, 'a'));
    put("hall", "Brin", std::string(40, 'b'));
    put("map/town", "cells", std::string(700, 'c'));
    put("", "top", "t");
    a->commit();
    m.commit("");
    put("hall", "Aldo", std::string(320, 'A'));
    put("shop", "inn", "stock");
    openPath(*a, "hall")->remove("Brin");
    m.working["hall"].erase("Brin");
}

std::vector<Op> scenario() {
    return {
        {Op::Store, "hall", "Cara", std::string(90, 'x')},
        {Op::OpenDir, "map", "cave", ""},
        {Op::Store, "map/town/inn", "beds", std::string(1200, 'y')},
        {Op::Store, "map/cave", "bones", std::string(30, 'b')},
        {Op::Remove, "hall", "Aldo", ""},
        {Op::Commit, "", "", ""},
        {Op::Store, "hall", "Brin", std::string(10, 'z')},
        {Op::Store, "map/town", "cells", std::string(650, 'w')},
        {Op::Rollback, "map", "", ""},
        {Op::Store, "", "top", "top2"},
        {Op::Commit, "hall", "", ""},
        {Op::Rollback, "", "", ""},
        {Op::Store, "shop", "inn", std::string(5000, 's')},
        {Op::Commit, "", "", ""},
    };
}

bool runOp(ArchiveFile_C& a, const Op& op) {
    DirHandle_C d = openPath(a, op.dir);
    switch (op.kind) {
    case Op::Store:
        return d->store(BytesRec_C(RefStr_C(op.name.c_str()), op.bytes));
    case Op::Remove:
        return d->remove(op.name.c_str()) >= 0;
    case Op::Commit:
        return d->commit();
    case Op::Rollback:
        return d->rollback();
    case Op::OpenDir:
        // Making a directory has no result of its own: it worked when the
        // parent lists it.
        d->openDir(op.name.c_str());
        return d->hasEntry(op.name.c_str());
    }
    return false;
}

void applyOp(Model& m, const Op& op) {
    switch (op.kind) {
    case Op::Store:
        m.addDir(op.dir);
        m.working[op.dir][op.name] = op.bytes;
        break;
    case Op::OpenDir:
        m.addDir(op.dir.empty() ? op.name : op.dir + "/" + op.name);
        break;
    case Op::Remove:
        m.working[op.dir].erase(op.name);
        break;
    case Op::Commit:
        m.commit(op.dir);
        break;
    case Op::Rollback:
        m.rollback(op.dir);
        break;
    }
}

TEST_F(ArchiveModelTest, EveryFailingWriteLeavesALastGoodState) {
    Model base;
    makeBase(path, base);
    const std::string baseBytes = readFile(path);

    // How many writes the scenario makes.
    long total = 0;
    {
        Injector counter{Fault::FailOne, 1L << 40};
        vell::setWriteHook([&](int fd, size_t n) { return counter(fd, n); });
        auto a = reopen(path);
        for (const Op& op : scenario())
            ASSERT_TRUE(runOp(*a, op));
        vell::setWriteHook(nullptr);
        total = counter.count;
        Model m = base;
        for (const Op& op : scenario())
            applyOp(m, op);
        a.reset();
        ASSERT_TRUE(fileHolds(path, m));
    }
    ASSERT_GT(total, 20);

    for (Fault fault : {Fault::FailOne, Fault::ShortOne, Fault::FailFromHere, Fault::ShortThenFail}) {
        for (long k = 1; k <= total; ++k) {
            SCOPED_TRACE("fault " + std::to_string(static_cast<int>(fault)) + " at write " + std::to_string(k));
            writeFile(path, baseBytes);
            Model m = base;
            Injector inj{fault, k};
            {
                auto a = reopen(path);
                ASSERT_TRUE(a);
                ASSERT_TRUE(holds(*a, m, m.working)) << "base";
                vell::setWriteHook([&](int fd, size_t n) { return inj(fd, n); });
                for (const Op& op : scenario()) {
                    const bool firedBefore = inj.fired;
                    const bool ok = runOp(*a, op);
                    if (ok)
                        applyOp(m, op);
                    // A write that went wrong is reported by the operation.
                    if (inj.fired && !firedBefore && fault != Fault::ShortOne) {
                        EXPECT_FALSE(ok);
                    }
                    // What the archive reports agrees with what it holds.
                    ASSERT_TRUE(holds(*a, m, m.working));
                    ASSERT_TRUE(noSpaceLost(*a));
                }
                vell::setWriteHook(nullptr);
            }
            ASSERT_TRUE(fileHolds(path, m));
        }
    }
}

// ---------------------------------------------------------------- a real crash

// The writer's run: the same seeded operations in the child and in the
// parent's model.
struct CrashRun {
    explicit CrashRun(unsigned seed) : rng(seed) {}
    Op next() {
        static const char* names[] = {"Aldo", "Brin", "Cara", "Dorn"};
        const std::string dir = DIRS[rng() % DIRS.size()];
        unsigned op = rng() % 10;
        std::string name = names[rng() % 4];
        if (op < 6)
            return {Op::Store, dir, name, payload(rng, 20000)};
        if (op < 7)
            return {Op::Remove, dir, name, ""};
        if (op < 9)
            return {Op::Commit, "", "", ""};
        return {Op::Rollback, "", "", ""};
    }
    std::mt19937 rng;
};

TEST_F(ArchiveModelTest, WriterKilledMidwayLeavesAConsistentFile) {
    for (unsigned round = 0; round < 10; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        std::remove(path.c_str());
        Model m;
        {
            auto a = reopen(path);
            for (const std::string& d : DIRS) {
                openPath(*a, d);
                m.addDir(d);
            }
        }
        int ack[2];
        ASSERT_EQ(::pipe(ack), 0);
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(ack[0]);
            auto a = ArchiveFile_C::open(path, false);
            if (!a)
                ::_exit(3);
            a->setDurable(false); // a killed process loses nothing the kernel has
            CrashRun run(1000 + round);
            for (;;) {
                if (!runOp(*a, run.next()))
                    ::_exit(4);
                char c = 1;
                if (::write(ack[1], &c, 1) != 1)
                    ::_exit(5);
            }
        }
        ::close(ack[1]);
        // Let it get well into its run, then kill it wherever it is.
        const long killAfter = 20 + 9 * round;
        long acked = 0;
        char buf[256];
        while (acked < killAfter) {
            long n = ::read(ack[0], buf, sizeof buf);
            ASSERT_GT(n, 0) << "the writer stopped by itself";
            acked += n;
        }
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "writer exit status " << status;
        for (long n; (n = ::read(ack[0], buf, sizeof buf)) > 0;)
            acked += n;
        ::close(ack[0]);

        // The file holds the state after the last acknowledged operation, or
        // after the one that was running (if it had finished).
        CrashRun run(1000 + round);
        for (long i = 0; i < acked; ++i)
            applyOp(m, run.next());
        Model after = m;
        applyOp(after, run.next());
        // (A commit in flight leaves the working state as it was: only the
        // committed state tells the two apart.)
        auto before = fileHolds(path, m);
        ASSERT_TRUE(before || fileHolds(path, after)) << before.message();
    }
}

} // namespace
