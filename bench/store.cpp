// The store's two waits, beside references in the same run.
//
// Refresh: the store rebuilds its nine positions after a dialog closes; the
// pictures are read and decoded anew each time (the store keeps them out of
// the cache), stamps are greyed and the show signs composed. The reference
// decodes the same picture files bare with SDL. Goal: under 30 ms.
//
// Dialog: a purchase dialog opens on a bar scene of the usual size: the
// scene is read, its preview built and scaled, the dialog laid out. The
// reference splits the same text into words with the standard library.
// Goal: under 100 ms.
#include "fakes.h"

#include "store/buyupgrademode.h"
#include "player/qarnplayer.h"
#include "store/storemode.h"
#include "rules/upgrademanager.h"

#include "tsl2/resource.h"
#include "pace.h"

#include <SDL.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

namespace {

template <class Fn>
double secondsOf(Fn fn) {
    auto start = std::chrono::steady_clock::now();
    fn();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void put32(std::string& s, uint32_t n) {
    for (int i = 0; i < 4; ++i) s += static_cast<char>((n >> (8 * i)) & 0xFF);
}

// A 24-bit BMP of one colour: the plainest file the image loader reads.
std::string bmp(int nWidth, int nHeight) {
    int nRow = (nWidth * 3 + 3) & ~3;
    std::string s = "BM";
    put32(s, 54 + nRow * nHeight);
    put32(s, 0);
    put32(s, 54);
    put32(s, 40);
    put32(s, nWidth);
    put32(s, nHeight);
    s += std::string("\x01\x00\x18\x00", 4);
    for (int i = 0; i < 6; ++i) put32(s, 0);
    std::string sRow(nRow, '\0');
    for (int x = 0; x < nWidth; ++x) sRow.replace(x * 3, 3, "\x40\x80\xC0");
    for (int y = 0; y < nHeight; ++y) s += sRow;
    return s;
}

struct Store {
    TestApp app;
    Tsl::SmartPtr<Tsl::MemoryResourceProvider> pResources = new Tsl::MemoryResourceProvider();
    QarnPlayer player;
    std::vector<std::string> aPictureFiles;

    void add(const char* pszName, const std::string& sText) {
        pResources->add(pszName, sText.data(), static_cast<int>(sText.size()));
    }
    void addPicture(const std::string& sName, int nWidth, int nHeight) {
        std::string sFile = bmp(nWidth, nHeight);
        add(sName.c_str(), sFile);
        aPictureFiles.push_back(sFile);
    }

    Store() {
        app.init(800, 600, 0);
        app.addResourceProvider(pResources.get());
        for (const char* pszItem : {"store_bandeja1", "store_bandeja2", "store_sillas", "store_jugomatic",
                                    "store_decos", "store_centros1", "store_centros2", "store_badboy1",
                                    "store_badboy2", "store_parrot_stand"})
            for (const char* pszSuffix : {"_normal", "_highlight"}) addPicture(std::string(pszItem) + pszSuffix, 180, 160);
        for (int i = 1; i <= 4; ++i)
            for (const char* pszSuffix : {"_normal", "_highlight"})
                addPicture("store_cartel" + std::to_string(i) + pszSuffix, 70, 130);
        for (const char* pszStamp : {"store_soldout_low", "store_soldout_high", "store_soldout_1", "store_soldout_2",
                                     "store_na_barman1", "store_na_barman2", "store_na_low"})
            addPicture(pszStamp, 100, 50);
        for (const char* pszFixed : {"upgrade_store", "store_mask", "store_globito_normal", "mask_buyupgrade",
                                     "check_empty", "check_full_noblit", "ui_fondo_azul", "posavaso_1", "frame"})
            app.addImage(pszFixed, app.createImage(40, 40, true));
        add("salesman.anim", "load frame\nseq blink\nadd frame\nseq normal\nadd frame\nseq sad\nadd frame\n");
        add("store_parrot.anim", "load frame\nseq default\nadd frame\n");
        add("parrot.anim", "load frame\nseq stand_still\nadd frame\nseq stand_move\nadd frame\n");
        add("px.anim", "load frame\nseq default fps 8 loop\nadd frame\nadd frame\n");
        // Sold-out chairs (a stamp), one juicer, signs on sale (composed).
        for (int nKind = UpgradeManager::KIND_CHAIR_0; nKind <= UpgradeManager::KIND_CHAIR_3; ++nKind)
            player.m_anUpgrades[nKind] = 1;
        player.m_anUpgrades[UpgradeManager::KIND_STATION_0] = 1;
        player.m_anUpgrades[UpgradeManager::KIND_SHOW] = 1;
        player.m_nMoney = 500;
    }
};

// A bar of the usual size: its pictures, furniture for every upgrade place,
// and the lines of the play field this reader skips.
std::string sampleScene() {
    std::string s = "topy 300\nbottomy 560\ncharposy 250\nchardepth 60\nwalkarea 0 300 800 560 200\n";
    for (int i = 0; i < 24; ++i) s += "image bar" + std::to_string(i) + "\n";
    s += "animation px.anim\n";
    for (int i = 0; i < 24; ++i)
        s += "sprite bar" + std::to_string(i) + " " + std::to_string(33 * i) + " " + std::to_string(200 + i) + " " +
             std::to_string(i) + " s" + std::to_string(i) + "\n";
    s += "sprite_repeat bar0 0 560 30 10 80 floor\n";
    for (int i = 0; i < 4; ++i)
        s += "sprite_conditional bar1 " + std::to_string(100 + 60 * i) + " 400 50 silla_" + std::to_string(i) + "\n";
    s += "sprite_conditional bar2 150 380 45 mesa_0\nsprite_conditional bar2 330 380 45 mesa_1\n";
    for (const char* pszCenter : {"center_lvl_1_0", "center_lvl_2_0", "center_lvl_1_1", "center_lvl_2_1", "mantel_0",
                                  "mantel_1", "mantel_2", "mantel_3"})
        s += std::string("sprite_conditional bar3 200 370 46 ") + pszCenter + "\n";
    for (int nSide = 0; nSide < 2; ++nSide) {
        std::string side = std::to_string(nSide);
        s += "animsprite_conditional px.anim 500 280 60 j" + side + " juicer_" + side + "\n";
        s += "actionspot_conditional glassspot 520 290 61 520 330 n juicer_" + side + "\n";
        s += "animsprite_conditional px.anim 540 260 60 b" + side + " barman_" + side + "\n";
        s += "actionspot_conditional glassspot 560 290 61 560 330 n barman_" + side + "_a\n";
    }
    s += "parrot 700 200 70\nanimsprite_conditional px.anim 90 300 40 disp prop_dispenser\n";
    for (int i = 0; i < 16; ++i) s += "animsprite px.anim " + std::to_string(50 * i) + " 100 20 a" + std::to_string(i) + "\n";
    for (int i = 0; i < 8; ++i) s += "flipsafe s" + std::to_string(i) + "\nplaysequence a" + std::to_string(i) + " default\n";
    for (int i = 0; i < 6; ++i) s += "seagull " + std::to_string(100 * i) + " 50 20 1 0\n";
    return s;
}

void BM_StoreRefresh(benchmark::State& state) {
    Store store;
    Tsl::SmartPtr<StoreMode> pStore = new StoreMode(&store.player, 0, "scene0");
    store.app.pushMode(pStore.get());
    double fOurs = 0.0, fReference = 0.0;
    for (auto _ : state) {
        fOurs += secondsOf([&] {
            pStore->clearItems();
            pStore->refreshItems();
        });
        fReference += secondsOf([&] {
            for (const std::string& sFile : store.aPictureFiles) {
                SDL_Surface* pSurface = SDL_LoadBMP_RW(SDL_RWFromConstMem(sFile.data(), int(sFile.size())), 1);
                SDL_FreeSurface(pSurface);
            }
        });
    }
    double fRuns = static_cast<double>(state.iterations());
    state.counters["ms_per_refresh"] = fOurs / fRuns * 1e3;
    state.counters["goal_ms"] = 30;
    state.counters["reference_ms"] = fReference / fRuns * 1e3;
    state.counters["ratio_vs_reference"] = fOurs / fReference;
}
BENCHMARK(BM_StoreRefresh)->Unit(benchmark::kMillisecond)->Iterations(pace::iterations(20));

void BM_PurchaseDialogOpen(benchmark::State& state) {
    Store store;
    std::string sScene = sampleScene();
    store.add("scene0.scene", sScene);
    for (int i = 0; i < 24; ++i) store.addPicture("bar" + std::to_string(i), 120, 90);
    bool bBought = false;
    Tsl::SmartPtr<UpgradeManager> pUpgrades = new UpgradeManager();
    double fOurs = 0.0, fReference = 0.0;
    size_t nWords = 0;
    for (auto _ : state) {
        Tsl::SmartPtr<BuyUpgradeMode> pDialog;
        fOurs += secondsOf([&] {
            pDialog = new BuyUpgradeMode(&store.player, 0, pUpgrades, 15, "scene0", &bBought);
            store.app.pushMode(pDialog.get());
        });
        pDialog->onCallback(BuyUpgradeMode::ID_CANCEL, 0);
        fReference += secondsOf([&] {
            std::istringstream in(sScene);
            std::string sWord;
            while (in >> sWord) ++nWords;
        });
    }
    benchmark::DoNotOptimize(nWords);
    double fRuns = static_cast<double>(state.iterations());
    state.counters["ms_per_open"] = fOurs / fRuns * 1e3;
    state.counters["goal_ms"] = 100;
    state.counters["reference_ms"] = fReference / fRuns * 1e3;
    state.counters["ratio_vs_reference"] = fOurs / fReference;
}
BENCHMARK(BM_PurchaseDialogOpen)->Unit(benchmark::kMillisecond)->Iterations(pace::iterations(20));

}  // namespace

BENCHMARK_MAIN();
