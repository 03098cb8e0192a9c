// The kit's sounds and music, in the order the game loads them.
#include "content/ContentKit.h"
#include "content/audio_synth.h"

namespace content {

void addAudioEntries(Entries &out)
{
    using namespace audio;
    // Short effects are Vorbis quality 0.5; the long theme 0.3 keeps the archive small.
    out.push_back({"sound/tm_guiclick.wav", encodeWav(makeGuiClick())});
    out.push_back({"sound/tm_click.wav", encodeWav(makeTileClick())});
    out.push_back({"sound/tm_unclick.wav", encodeWav(makeTileUnclick())});
    out.push_back({"sound/tm_match.ogg", encodeOgg(makeMatch(), 0.5f, 0x544D0001)});
    out.push_back({"sound/tm_blocked.ogg", encodeOgg(makeBlocked(), 0.5f, 0x544D0002)});
    out.push_back({"sound/tm_youwin.ogg", encodeOgg(makeYouWin(), 0.5f, 0x544D0003)});
    out.push_back({"sound/tm_hint.ogg", encodeOgg(makeHint(), 0.5f, 0x544D0004)});
    out.push_back({"sound/tm_gameover.ogg", encodeOgg(makeGameOver(), 0.5f, 0x544D0005)});
    out.push_back({"sound/tm_splash.ogg", encodeOgg(makeSplash(), 0.5f, 0x544D0006)});
    out.push_back({"music/theme_tl.ogg", encodeOgg(makeTheme(), 0.3f, 0x544D0010)});
}

} // namespace content
