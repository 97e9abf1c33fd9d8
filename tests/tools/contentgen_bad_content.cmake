# The content check refuses what the game would crash or hang on, naming
# the file and line: archives of the generated set with broken files put
# in front of the good ones (the first archive that has a name wins).
include(${CMAKE_CURRENT_LIST_DIR}/run_tool.cmake)
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR}/set ${WORK_DIR}/lang ${WORK_DIR}/scene0)
run_tool(0 ${CONTENTGEN} ${CONTENT_DIR} ${FONT_DIR} ${WORK_DIR}/set)

# lang_en.dat comes first: texts, and files that override the good ones.
file(WRITE ${WORK_DIR}/lang/messages.txt "UPG_Price = Price %s\nWKG_Tip = up to 100% more\nStatTimePlayed = %d min\n")
file(WRITE ${WORK_DIR}/lang/nontranslated.txt "AboutVerFmt = %d.%d.%d\n")
file(WRITE ${WORK_DIR}/lang/private.txt "# none\n")
file(WRITE ${WORK_DIR}/lang/preload-sound.txt "sfx_mouseover\r\n\nsfx_store_clink \n")
file(WRITE ${WORK_DIR}/lang/store_parrot.anim
     "load store_parrot_0\nseq normal\nadd store_parrot_0\nadd store_parrot_0\nseq highlight\nadd store_parrot_0\n")
run_tool(0 ${GRFTOOL} extract ${WORK_DIR}/set/chars0.dat waitress.template ${WORK_DIR}/waitress.template)
file(READ ${WORK_DIR}/waitress.template waitress)
string(REPLACE "seq serve_n_left fps 8\n" "seq serve_n_left fps 8 loop\n" waitress "${waitress}")
string(REPLACE "prop position 35\n" "prop position 88\n" waitress "${waitress}")
string(REPLACE "prop doaction 1\n" "" waitress "${waitress}")
file(WRITE ${WORK_DIR}/lang/waitress.template "${waitress}")
run_tool(0 ${GRFTOOL} pack ${WORK_DIR}/lang ${WORK_DIR}/set/lang_en.dat)

# scene0.dat: a broken scene and broken customer definitions.
file(WRITE ${WORK_DIR}/scene0/scene0.scene
     "sprite a 1 2\nsprite b 0 0 x\nsprite_repeat c 0 0 0 3 10 copy\nflip nobody\n"
     "sprite_conditional d 0 0 0 no_such_slot\ntopy 500\nbottomy 400\n")
file(WRITE ${WORK_DIR}/scene0/chars_scene0_0 "hombre\nvip 0 vip\nvipster 2 v\nnobody 1 n\nhombre 3 h # comment\n")
file(WRITE ${WORK_DIR}/scene0/chars_scene0_25 "hombre 1\n")
run_tool(0 ${GRFTOOL} pack ${WORK_DIR}/scene0 ${WORK_DIR}/set/scene0.dat)

# A names header with names the set lacks; settings keys, formats and
# suffixes pass.
file(WRITE ${WORK_DIR}/names.h "constexpr const char* SET_KEY = \"Highscores\";\n"
     "constexpr const char* IMG_CLOCK = \"clock_%d\";\nconstexpr const char* SCENE_MUSIC[] = {\"ms_menu\", \"ms_nowhere\"};\n"
     "constexpr const char* IMG_SUFFIX = \"_normal\";\nconstexpr const char* STR_GONE = \"NO_SUCH_KEY\";\n")
run_tool(1 ${CONTENTGEN} --check ${WORK_DIR}/set ${WORK_DIR}/names.h)
foreach(expected
    "messages.txt: UPG_PRICE is a format for 'd' but holds the conversions 's'"
    "messages.txt: WKG_TIP is a format and holds the conversion '%m'"
    "messages.txt: STATTIMEPLAYED is a format for 'dd'"
    "preload-sound.txt, line 1: a carriage return"
    "preload-sound.txt, line 2: an empty line"
    "preload-sound.txt, line 3: blanks in 'sfx_store_clink '"
    "store_parrot.anim: normal and highlight must have as many frames"
    "serve_n_left loops"
    "needs exactly one \"doaction\" frame, has 0"
    "\"position\" must be a hand place 0 to 87"
    "scene0.scene, line 1: sprite needs 4 values"
    "scene0.scene, line 2: sprite: 'x' is not a whole number"
    "scene0.scene, line 3: sprite_repeat takes no name"
    "scene0.scene, line 4: flip of 'nobody', which no line before names"
    "scene0.scene, line 5: unknown slot 'no_such_slot'"
    "scene0.scene: \"bottomy\" must lie below \"topy\""
    "scene0.scene: SceneParserException: scene0.scene, line 1: sprite takes 4 to 5 tokens, not 3"
    "chars_scene0_0, line 1: needs a name and a positive weight"
    "chars_scene0_0, line 2: needs a name and a positive weight"
    "chars_scene0_0, line 3: 'vipster': only the generated kinds may begin with hombre or vip"
    "chars_scene0_0, line 4: 'nobody' has no animation ch_nobody.anim"
    "chars_scene0_25: definition files are named"
    "chars_scene0_0, line 5: warning: 'hombre' is generated and keeps its tags for the whole level"
    "scene0: every definition has a tag"
    "names.h, line 3: SCENE_MUSIC: no music \"ms_nowhere\" in this set"
    "names.h, line 5: STR_GONE: no string \"NO_SUCH_KEY\" in this set")
  expect_text("${RUN_ERR}" "${expected}" "the check of broken content")
endforeach()
# The generator itself: a missing folder or font is named, nothing is made.
file(MAKE_DIRECTORY ${WORK_DIR}/out)
run_tool(1 ${CONTENTGEN} ${WORK_DIR}/no-content ${FONT_DIR} ${WORK_DIR}/out)
expect_text("${RUN_ERR}" "'${WORK_DIR}/no-content' is not a folder" "a missing content folder")
run_tool(1 ${CONTENTGEN} ${CONTENT_DIR} ${WORK_DIR}/no-fonts ${WORK_DIR}/out)
expect_text("${RUN_ERR}" "can't read ${WORK_DIR}/no-fonts/DejaVuSans.ttf" "a missing font")
expect_only_files(${WORK_DIR}/out)
run_tool(2 ${CONTENTGEN} --frame)
file(REMOVE_RECURSE ${WORK_DIR})
