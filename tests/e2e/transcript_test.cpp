// Golden transcripts: whole runs of the built program whose complete output
// (exit status, what it drew, its trace, then the files it left) is compared
// line by line with a text under tests/e2e/golden/, once temporary paths and
// times are replaced by placeholders. Any change a user would see or get
// shows as the first line that differs.
// PLINTH_UPDATE_GOLDEN=1 rewrites the golden texts from the runs instead.
#include <gmock/gmock.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <regex>

#include "tests/support/whole_run.h"

namespace {

namespace fs = std::filesystem;
using test_support::read_file;
using test_support::shell_quoted;

const char kApiAddress[] = "PLINTH_API_URL=http://api.discogs.com";
const std::string kApi = std::string("DISCOGS_TOKEN=standin-token ") + kApiAddress;

// One run: "{album}" and "{library}" in the arguments stand for the demo
// album's folder and the library folder that holds it, "{config}" for the
// folder of the settings and registry files. Arguments that begin with "!"
// are a shell command run in the library folder instead.
struct Step {
  std::string arguments, input, environment;
  bool files_after = false;  // the library's files after this run, too
};

struct Case {
  std::string name;  // the golden file's too
  std::vector<Step> steps;
  bool demo_library = false;             // tools/make_demo_library.py's albums instead
  std::vector<std::string> server = {};  // the stand-in's arguments
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
    text.replace(at, from.size(), to);
  return text;
}

class Transcript : public test_support::WholeRun, public ::testing::WithParamInterface<Case> {
 protected:
  // The demo album and an album the database does not know, side by side;
  // or the demo library, whose runs would be paced at 60 requests a minute.
  Transcript() : library(work.file("library")) {
    if (GetParam().demo_library) {
      test_support::run_command("/usr/bin/python3 " +
                                shell_quoted(PLINTH_SOURCE_DIR "/tools/make_demo_library.py") +
                                " " + shell_quoted(work.path()));
      album = library + "/Harbour Lights/Harbour_Lights - Night Ferry [HL_007] - (2005)";
      start_server({"--api-rate-limit", "1000"});
      // Few descriptors (the twelve tracks of one album take 23 at the
      // most): one left open an album or a file would run out.
      run_as = "prlimit --nofile=32 -- ";
      return;
    }
    fs::create_directories(library + "/Unknown Band - Demo Tape");
    album = test_support::make_demo_album(library);
    test_support::make_mp3s({{library + "/Unknown Band - Demo Tape/01 First Song.mp3", {}}});
    start_server(GetParam().server);
  }

  // The text with what differs between machines and moments as placeholders.
  std::string normalised(std::string text) const {
    for (const auto& [path, name] : std::vector<std::pair<std::string, std::string>>{
             {album, "<album>"},
             {library, "<library>"},
             {fs::path(config.config_home()).parent_path().string(), "<home>"},
             {fs::path(PLINTH_BINARY).parent_path().string(), "<build>"}})
      text = replaced(text, path, name);
    static const std::regex kTime("[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}");
    return std::regex_replace(text, kTime, "<time>");
  }

  // The library's entries, sorted, with the playlists' bytes and the other
  // files' sizes; then every MP3 file's tags as mutagen reads them.
  std::string files() const {
    std::vector<fs::path> paths(fs::recursive_directory_iterator(library), {});
    std::sort(paths.begin(), paths.end());
    std::string text = "--- files\n", mp3s;
    for (const fs::path& path : paths) {
      text += path.string() + (fs::is_directory(path) ? "/\n" : "\n");
      if (path.extension() == ".m3u") text += read_file(path);
      if (path.extension() == ".mp3") mp3s += " " + shell_quoted(path);
      if (path.extension() == ".jpg" && fs::is_regular_file(path))
        text += std::to_string(fs::file_size(path)) + " bytes\n";
    }
    return text +
           test_support::run_command("/usr/bin/python3 " +
                                     shell_quoted(PLINTH_SOURCE_DIR "/tools/show_tags.py") + mp3s);
  }

  std::string library, album;
};

TEST_P(Transcript, MatchesTheGoldenText) {
  std::string text;
  for (const Step& step : GetParam().steps) {
    std::string arguments =
        replaced(replaced(replaced(step.arguments, "{album}", shell_quoted(album)), "{library}",
                          shell_quoted(library)),
                 "{config}", shell_quoted(config.config_home() + "/plinth"));
    // "{make_mp3}" makes the files its standard input describes.
    arguments = replaced(arguments, "{make_mp3}",
                         "/usr/bin/python3 " PLINTH_SOURCE_DIR "/tools/make_mp3.py");
    if (arguments[0] == '!') {  // the user's own hands between two runs
      text +=
          "$ " + step.arguments.substr(1) + "\n" +
          test_support::run_command("cd " + shell_quoted(library) + " &&" + arguments.substr(1));
      continue;
    }
    const test_support::Outcome run = plinth(arguments, step.input, "/", step.environment);
    text += "$ plinth " + step.arguments + "\n--- status " + std::to_string(run.status) +
            "\n--- drawn\n" + run.drawn + "--- trace\n" + run.trace;
    if (step.files_after) text += files();
  }
  text = normalised(text + files());

  const std::string golden = PLINTH_SOURCE_DIR "/tests/e2e/golden/" + GetParam().name + ".txt";
  const char* update = std::getenv("PLINTH_UPDATE_GOLDEN");
  if (update != nullptr && std::string(update) == "1") test_support::write_file(golden, text);
  std::vector<std::string> expected = test_support::lines_of(read_file(golden));
  std::vector<std::string> actual = test_support::lines_of(text);
  const size_t lines = std::max(expected.size(), actual.size());
  expected.resize(lines, "<end of text>");
  actual.resize(lines, "<end of text>");
  const auto differ = std::mismatch(expected.begin(), expected.end(), actual.begin());
  if (differ.first != expected.end())
    ADD_FAILURE() << GetParam().name << ".txt (PLINTH_UPDATE_GOLDEN=1 rewrites it), line "
                  << differ.first - expected.begin() + 1 << "\n  expected: " << *differ.first
                  << "\n  actual:   " << *differ.second;
}

const std::string kEnters(40, '\n');
// Back on each page, a search without hits, help, and the menu's commands
// and boxes on the match page, then Finish! with another track template.
const std::string kBackAndForth =
    "help\n= Nothing Like This\nmanual search\n\n1\n\nback\n\n\nback\n\n\nback\n\nhelp\n"
    "filenames\nhelp\n\ntrack = /8 /7\nok\ntoggel m3u\n\nsave settings\n\nabout\n\n"
    "directory\n\nonline help\n\n\n\n";

INSTANTIATE_TEST_SUITE_P(
    Golden, Transcript,
    ::testing::Values(
        Case{"SiteEnterOnEveryPage", {{"{album}", kEnters, ""}}},
        Case{"ApiTypedReleaseAddress",
             {{"{album}", "= http://www.discogs.com/release/100101\nmanual search\n" + kEnters,
               kApi},
              {"{library}/'[HL 007] Harbour Lights - Night Ferry'",
               "= https://www.discogs.com/label/300001\nmanual search\n\n\ncancel\n", kApi}}},
        Case{"BackAndForthAndTheMenu", {{"{album}", kBackAndForth, ""}}},
        // What a folder's name and files give: the trace of the tags read and
        // the candidates in order, also from names and tags outside the
        // code page; nothing is changed.
        Case{"TermsFromTheFolderAndItsTags",
             {{"! A='Some_Artist - Some Title [CAT_042] - (2005)' && mkdir \"$A\" && printf "
               "'%s/01 Harbour Lights.mp3\\tTPE1=SOME ARTIST\\tTIT2=Harbour Lights\\tTALB=Some "
               "Title\\tTRCK=1/3\\tTYER=2005\\n%s/02.mp3\\tseed=2\\n%s/03 - Night "
               "Drive.MP3\\tseed=3\\tv2=4\\tenc=1\\tTPE2=Some Artist\\tTIT2=Night "
               "Drive\\tTALB=Some Title\\tTRCK=3\\tTDRC=2005-06-01\\n' \"$A\" \"$A\" \"$A\" | "
               "{make_mp3} && echo not music >\"$A/cover.jpg\"",
               "", ""},
              {"{library}/'Some_Artist - Some Title [CAT_042] - (2005)'", "", ""},
              {"! A='\xC3\x9Cn\xC3\xAF"
               "c\xC3\xB6"
               "d\xC3\xA9 Album' && mkdir \"$A\" && printf "
               "'%s/01 \xC3\x9Cn\xC3\xAF"
               "c\xC3\xB6"
               "d\xC3\xA9.mp3\\tenc=1\\tTPE1=\xC3\x9Cn\xC3\xAF"
               "c\xC3\xB6"
               "d\xC3\xA9\\tTIT2=Track 1 \xE6\x97\xA5\\n"
               "%s/02 "
               "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.mp3\\tseed=2\\tv2=4\\tenc=3\\tTPE1="
               "\xC3\x9Cn\xC3\xAF"
               "c\xC3\xB6"
               "d\xC3\xA9\\tTIT2=Track 2 \xE6\x97\xA5\\n"
               "%s/03 "
               "\xE3\x83\x8A\xE3\x82\xA4\xE3\x83\x88.mp3\\tseed=3\\tenc=1\\tTPE1=\xC3\x9Cn\xC3\xAF"
               "c\xC3\xB6"
               "d\xC3\xA9\\tTIT2=Track 3 \xE6\x97\xA5\\n"
               "%s/04 \xE6\x9D\xB1\xE4\xBA\xAC "
               "\xC3\xA9t\xC3\xA9.mp3\\tseed=4\\tv2=4\\tenc=3\\tTPE1=\xC3\x9Cn\xC3\xAF"
               "c\xC3\xB6"
               "d\xC3\xA9\\tTIT2=Track 4 \xE6\x97\xA5\\n"
               "' \"$A\" \"$A\" \"$A\" \"$A\" | {make_mp3}",
               "", ""},
              {"{library}/'\xC3\x9Cn\xC3\xAF"
               "c\xC3\xB6"
               "d\xC3\xA9 Album'",
               "", ""}}},
        // Enter on every page tags a fully tagged album in a folder named
        // after the album, whose title is then the first term and finds no
        // artist but the release; and again on the folder that run named.
        Case{"ApiFullyTaggedAlbumTwice",
             {{"! mkdir -p 'Harbour Lights/Night Ferry' && i=0 && for t in 'Salt Road' 'Night "
               "Ferry' 'Lanterns Over Water' 'Harbour Wall' 'The Quiet Deck' 'Low Tide Signal' "
               "'Gulls At Four' Crossing 'Paper Boats' 'Foghorn Lullaby' 'Pier Lights' 'Morning "
               "Landfall'; do i=$((i+1)); printf 'Harbour Lights/Night Ferry/%02d %s.mp3\\tseed=%d"
               "\\tTPE1=Harbour Lights\\tTIT2=%s\\tTALB=Night Ferry\\tTRCK=%d/12\\n' $i \"$t\" $i "
               "\"$t\" $i; done | {make_mp3}",
               "", ""},
              {"{library}/'Harbour Lights/Night Ferry'", kEnters, kApi},
              {"{library}/'Harbour Lights/[HL 007] Harbour Lights - Night Ferry'", kEnters, kApi}}},
        // Saved templates serve the next run; templates changed on the
        // match page serve this run alone; Cancel changes none.
        Case{"SavedTemplatesAndThisRunsTemplates",
             {{"{album}",
               "filenames\ntrack = zzz\ncancel\nfilenames\ntrack = /7 by /1\nok\nsave "
               "settings\ncancel\n",
               ""},
              {"! cat {config}/settings.xml", "", ""},
              {"{album}", "\n\n\nfilenames\ndirectory = /2 (/5)\nplaylist = list\nok\n" + kEnters,
               ""},
              {"! cat {config}/settings.xml", "", ""}}},
        // Cancel or the end of input on each page: nothing is changed, and
        // nothing asked of the database before the first page is left.
        Case{"CancelOrEndOfInputOnEveryPage",
             {{"{album}", "cancel\n", ""},
              {"{album}", "", ""},
              {"{album}", "\ncancel\n", ""},
              {"{album}", "\n", ""},
              {"{album}", "\n\ncancel\n", ""},
              {"{album}", "\n\n", ""},
              {"{album}", "\n\n\ncancel\n", ""},
              {"{album}", "\n\n\n", ""},
              {"{album}", "\n\n\nfilenames\ntrack = x\n", ""},
              // A template that names nothing is refused, and the page stays.
              {"{album}", "\n\n\nfilenames\ntrack = \nok\n\n", ""}}},
        // A typed term wins over the chosen line until a line is chosen;
        // no term to search; help and the toggle on the lists' pages.
        Case{"TypedTermsHelpAndTheToggle",
             {{"{album}", "= Tidewater Records\n\n", ""},
              {"{album}", "= Tidewater Records\n1\n\n", ""},
              {"{album}", "manual search\n\n", ""},
              {"{album}", "\nhelp\n\nhelp\ntoggel m3u\n\ntoggel m3u\n\ncancel\n", ""}}},
        Case{"HelpApiSearchHistoryAndUndo",
             {{"--help", "", ""},
              {"{album}", kEnters, kApi},
              {"--history", "", ""},
              {"--undo {library}/'[HL 007] Harbour Lights - Night Ferry'", "", ""},
              {"--history", "", ""}}},
        // Undo after the user changed, removed and renamed files of the run,
        // then again once one is put back.
        Case{"UndoAfterTheUserChangedFiles",
             {{"{album}", kEnters, ""},
              {"! cd '[HL 007] Harbour Lights - Night Ferry' && echo x >>'01 - Harbour Lights - "
               "Salt Road.mp3' && "
               "rm '02 - Harbour Lights - Night Ferry.mp3' && echo mine >R-100101.jpg && "
               "mv '03 - Harbour Lights - Lanterns Over Water.mp3' mine.mp3",
               "", ""},
              {"--undo {library}/'[HL 007] Harbour Lights - Night Ferry'", "", ""},
              {"--history", "", ""},
              {"! cd {album} && mv mine.mp3 '03 - Harbour Lights - Lanterns Over Water.mp3'", "",
               ""},
              {"--undo {album}", "", ""}}},
        // Finish! in a folder that already holds the playlist's and the
        // cover's names, a link, a subfolder and other files; then undo while
        // another folder has the old name, and again once it is gone.
        Case{"FinishAmongTheUsersOwnFiles",
             {{"! cd {album} && echo my list >'Harbour Lights - Night Ferry [HL 007].m3u' && "
               "echo my cover >R-100101.jpg && mkdir scans && echo x >notes.txt && "
               "ln -s '01 - Salt Road.mp3' link.mp3",
               "", ""},
              {"{album}", kEnters, ""},
              {"! mkdir {album}", "", ""},
              {"--undo {library}/'[HL 007] Harbour Lights - Night Ferry'", "", ""},
              {"! rmdir {album}", "", ""},
              {"--undo {album}", "", ""}}},
        // Command lines that cannot serve, each with its message and status.
        Case{"UsageErrorsOfTheOptions",
             {{"--batch", "", kApi},
              {"--batch --fast {library}", "", kApi},
              {"--batch {library}/missing", "", kApi},
              {"--batch {library}", "", "-u DISCOGS_TOKEN"},
              {"--undo --batch {library}", "", ""},
              {"--undo --batch", "", ""},
              {"--undo {library}", "", ""},
              {"--undo", "", ""},
              {"--history {library}", "", ""},
              {"--fast {album}", "", ""},
              {"", "", ""}}},
        // Folders and configurations that end the run or fall back to defaults,
        // and a folder that gives no search term.
        Case{"FoldersAndSettingsThatCannotServe",
             {{"{library}/Gone", "", ""},
              {"! mkdir Empty && echo x >Empty/cover.jpg", "", ""},
              {"{library}/Empty", "", ""},
              {"! mkdir ./--- && cp {album}/'03 - lanterns over water.mp3' ./---/", "", ""},
              {"{library}/---", "\n\n", ""},
              {"! printf '<Settings g_tf=' >{config}/settings.xml", "", ""},
              {"{album}", "", ""},
              {"! printf '[HKEY_LOCAL_MACHINE\\\\SOFTWARE\\\\Varnel\\\\Other]\\n' "
               ">{config}/registry.reg",
               "", ""},
              {"{album}", "", ""},
              {"! printf '[HKEY_LOCAL_MACHINE\\\\SOFTWARE\\\\Varnel\\\\Plinth]\\n' "
               ">{config}/registry.reg",
               "", ""},
              {"{album}", "", ""},
              // Settings named in the registry that are a folder.
              {"! mkdir {config}/folder.xml && printf "
               "'[HKEY_LOCAL_MACHINE\\\\SOFTWARE\\\\Varnel\\\\Plinth]\\n\"Settings\"=\"%s/"
               "folder.xml\"\\n' {config} >{config}/registry.reg",
               "", ""},
              {"{album}", "\n\nsave settings\n\ncancel\n", ""}}},
        // A release page that comes empty: no tracks to match, back to the
        // list of releases.
        Case{"AnEmptyReleasePage",
             {{"{album}", "\n\n\n\n", ""}},
             false,
             {"--fault", "empty-body", "--fault-path", "/release/"}},
        // The site refusing page readers, as the real one does, then a
        // stored token the API refuses: each mended on the spot with a token.
        Case{"RefusalsMendedWithANewToken",
             {{"{album}", "\ny\n= standin-token\n" + kEnters, kApiAddress},
              {"--undo {library}/'[HL 007] Harbour Lights - Night Ferry'", "", ""},
              {"! echo not-the-token >{config}/discogs-token", "", ""},
              {"{album}", "\ny\n= standin-token\n" + kEnters, kApiAddress},
              // A token in the environment wins: no offer to set one.
              {"{library}/'[HL 007] Harbour Lights - Night Ferry'", "\n\n",
               std::string("DISCOGS_TOKEN=not-the-token ") + kApiAddress}},
             false,
             {"--fault", "status-403", "--fault-path", "/search"}},
        // An API release that fails: the box, and back to the list.
        Case{"AnApiReleaseThatFails",
             {{"{album}", "\n\n\n\n", kApi}},
             false,
             {"--fault", "status-500", "--fault-path", "/releases/"}},
        Case{"BatchDryRunRunHistoryAndUndo",
             {{"--batch {library}", "", std::string("DISCOGS_TOKEN=not-the-token ") + kApiAddress},
              {"--batch --dry-run {library}", "", kApi},
              {"--batch {library}", "", kApi},
              {"--history", "", ""},
              {"--undo --batch", "", "", true},
              // A second second, so the two runs cannot share one.
              {"! sleep 1", "", ""},
              {"--batch {library}", "", kApi},
              {"--history", "", ""}}},
        Case{"DemoLibraryBatchAndUndo",
             {{"--batch {library}", "", kApi, true}, {"--undo --batch", "", ""}},
             true},
        // A second library run after the user changed a tagged album, moved
        // another, put a file back into a third (and a folder where its cover
        // goes), copied a fourth and made a folder that names nothing; then
        // undo of each.
        Case{
            "DemoLibraryRunAgainAfterChanges",
            {{"--batch {library}", "", kApi},
             {"! echo x >>'[LL 031] Marta Vey - Paper Moons/1 - Marta Vey - Paper Moons.mp3' && "
              "mv '[SK032] The Persuader - Stockholm' Stockholm && "
              "cp 'Tomas Quill - Lowlands/A Lowlands.mp3' 'Tomas Quill - Lowlands/B Peat Fire.mp3' "
              "&& cp -r '[TW 024] C\xC3\xA9leste V\xC3\xA5rdahl - Sm\xC3\xA5 Ljus' 'Sma Ljus copy' "
              "&& "
              "mkdir '[misc]' && cp 'Tomas Quill - Lowlands/A Lowlands.mp3' '[misc]' && "
              "mkdir 'Tomas Quill - Lowlands/R-100107.jpg'",
              "", ""},
             {"--batch --dry-run {library}", "", kApi},
             {"--batch {library}", "", kApi},
             {"--undo --batch", "", ""},
             {"--undo --batch", "", ""}},
            true},
        // Releases as the database keeps them, through the pages and the API:
        // a sort form, a "(2)" kept, two discs, a compilation, a credit
        // "Feat." with headings and a suite, a typed address, Japanese tags, a
        // file forced to a track, a typed accented term; two on narrow terminals.
        Case{
            "RealReleasesThroughPagesAndApi",
            {{"{library}/'The Persuader - Stockholm'", kEnters, ""},
             {"{library}/'Marta Vey - Paper Moons'", "\n2\n\nback\n" + kEnters, kApi},
             {"{library}/'Juno Berg - Deep Water Sessions'", kEnters, ""},
             {"{library}/'Harbour Nights Vol. 1'", kEnters, kApi},
             {"{library}/'Sable Reyes - Kiln Nights'", "\n\n\nn\n" + kEnters, kApi + " COLUMNS=50"},
             {"{library}/'Quay Signals'",
              "= https://www.discogs.com/release/100113\nmanual search\nyes\n" + kEnters, kApi},
             {"{library}/'Kuon Minato'", kEnters, kApi + " COLUMNS=40"},
             {"{library}/'Harbour Lights - Tidal Lines EP'",
              "\n\n\noriginal 5\nrelease 2\nforce match\n\nrelease 4\nforce match\n" + kEnters, ""},
             {"{library}/'Celeste Vardahl - Sma Ljus'",
              "= C\xC3\xA9leste V\xC3\xA5rdahl\nmanual search\n" + kEnters, ""}},
            true},
        // Addresses typed on the first page: an artist's, a label's, and a
        // release whose credit joins two artists.
        Case{"TypedAddressesThroughThePages",
             {{"{library}/'Marta Vey - Paper Moons'",
               "= http://www.discogs.com/artist/Marta+Vey+%282%29\nmanual search\n" + kEnters, ""},
              {"{library}/'Celeste Vardahl - Sma Ljus'",
               "= http://www.discogs.com/label/Tidewater+Records\nmanual search\n" + kEnters, ""},
              {"{library}/'Pale Harrow - Darkroom Soundtrack'",
               "= http://www.discogs.com/release/100106\nmanual search\n" + kEnters, ""}},
             true}),
    [](const auto& info) { return info.param.name; });

}  // namespace
