# Builds the libFuzzer targets with clang (plus ASan and UBSan): the game's
# own code once, as a library, and one small program per target (without
# the vptr check, which would need the type information of classes, such as
# the interface, whose code a target does not hold). Called by
# run.sh: make -f fuzz.mk SRC=<source folder> WORK=<build folder> CXX=<clang++>.
SRC ?= .
WORK ?= fuzz
CXX ?= clang++

FLAGS := -std=c++17 -O1 -g -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-sanitize=vptr \
         -I$(SRC) $(shell sdl-config --cflags)
LIBS := $(shell sdl-config --libs) -lSDL_image -lSDL_mixer -lGL -lGLU -lz -lpthread

# Everything the readers need; the movie player (smpeg) is not among them.
LIBSRC := $(filter-out $(SRC)/core/Movie.cpp, \
            $(wildcard $(SRC)/platform/*.cpp $(SRC)/core/*.cpp $(SRC)/rules/*.cpp $(SRC)/actions/*.cpp)) \
          $(SRC)/world/Map.cpp $(SRC)/world/MapTraps.cpp $(SRC)/world/MapInfo.cpp $(SRC)/world/Event.cpp \
          $(SRC)/town/TavernTips.cpp $(SRC)/town/ArcaniumCatalogue.cpp \
          $(wildcard $(SRC)/audio/*.cpp)
LIBOBJ := $(patsubst $(SRC)/%.cpp,$(WORK)/obj/%.o,$(LIBSRC))

# target name: its sources (under $(SRC)/tests)
core_SRC := core/fuzz/CoreFuzz.cpp
images_SRC := core/fuzz/ImageFuzz.cpp
font_SRC := core/fuzz/FontFuzz.cpp
piccache_SRC := core/fuzz/PicCacheFuzz.cpp
map_SRC := world/fuzz/MapFuzz.cpp
items_SRC := rules/fuzz/LibFuzzerItemFile.cpp rules/fuzz/RulesFuzz.cpp
monsters_SRC := masterfuzz/MasterFileFuzz.cpp
monsters_DEF := -DMASTER_FILE=1
classes_SRC := masterfuzz/MasterFileFuzz.cpp
classes_DEF := -DMASTER_FILE=2
itemcreate_SRC := masterfuzz/MasterFileFuzz.cpp
itemcreate_DEF := -DMASTER_FILE=3
actions_SRC := actions/fuzz/ActionFileFuzz.cpp
audio_SRC := audio/fuzz/AudioFuzz.cpp
townfiles_SRC := town/fuzz/TownFileFuzz.cpp
TARGETS := core images font piccache map items monsters classes itemcreate actions audio townfiles

all: $(addprefix $(WORK)/fuzz_,$(TARGETS))

$(WORK)/obj/%.o: $(SRC)/%.cpp
	@mkdir -p $(dir $@)
	$(CXX) $(FLAGS) -fsanitize=fuzzer-no-link -MMD -MP -c $< -o $@

$(WORK)/libgame.a: $(LIBOBJ)
	rm -f $@
	ar rcs $@ $^

# A target's own sources are compiled with it (one of them takes a define).
define target_rule
$(WORK)/fuzz_$(1): $(addprefix $(SRC)/tests/,$($(1)_SRC)) $(WORK)/libgame.a
	$(CXX) $(FLAGS) $($(1)_DEF) -fsanitize=fuzzer $(addprefix $(SRC)/tests/,$($(1)_SRC)) $(WORK)/libgame.a $(LIBS) -o $$@
endef
$(foreach t,$(TARGETS),$(eval $(call target_rule,$(t))))

-include $(LIBOBJ:.o=.d)
