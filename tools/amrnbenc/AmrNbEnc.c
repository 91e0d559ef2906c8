/*
 * amrnbenc: encodes 8000 Hz mono 16-bit PCM (a WAV file, as ffmpeg writes it) into an
 * AMR-NB file ("#!AMR\n" and one storage-format frame per 20 ms), with the encoder of
 * the opencore-amrnb library.
 *
 *   amrnbenc [-b bits-per-second] input.wav output.amr
 *
 * The bit rate is rounded down to the nearest AMR-NB mode (4750 ... 12200; default 12200).
 * Exit code 0 on success; otherwise one line "error: ..." and exit code 1, and no output
 * file is left behind.
 *
 * A host program: under Wine it is reached through the bridge as app\amrnbenc.exe; ffmpeg
 * builds for Windows that include libopencore_amrnb do the same work themselves.
 */
#include <opencore-amrnb/interf_enc.h>

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int Fail(const char* message, const char* detail, const char* outputPath)
{
    fprintf(stderr, "error: %s%s\n", message, detail ? detail : "");
    if (outputPath)
        remove(outputPath);
    return 1;
}

static uint32_t Le32(const unsigned char* p) { return p[0] | p[1] << 8 | p[2] << 16 | (uint32_t)p[3] << 24; }
static uint16_t Le16(const unsigned char* p) { return (uint16_t)(p[0] | p[1] << 8); }

static enum Mode ModeForBitrate(long bitrate)
{
    static const long rates[] = {4750, 5150, 5900, 6700, 7400, 7950, 10200, 12200};
    enum Mode mode = MR475;
    for (int i = 0; i < 8; ++i)
        if (bitrate >= rates[i])
            mode = (enum Mode)i;
    return mode;
}

int main(int argc, char** argv)
{
    long bitrate = 12200;
    int arg = 1;
    if (arg + 1 < argc && strcmp(argv[arg], "-b") == 0) {
        bitrate = strtol(argv[arg + 1], NULL, 10);
        arg += 2;
    }
    if (argc - arg != 2)
        return Fail("use: amrnbenc [-b bits-per-second] input.wav output.amr", NULL, NULL);
    const char* inputPath = argv[arg];
    const char* outputPath = argv[arg + 1];

    FILE* in = fopen(inputPath, "rb");
    if (!in)
        return Fail("cannot open ", inputPath, NULL);

    /* Walk the RIFF chunks to "fmt " and "data"; ffmpeg may put a LIST chunk between them. */
    unsigned char head[12];
    if (fread(head, 1, 12, in) != 12 || memcmp(head, "RIFF", 4) != 0 || memcmp(head + 8, "WAVE", 4) != 0) {
        fclose(in);
        return Fail("not a WAV file: ", inputPath, NULL);
    }
    int haveFormat = 0;
    long dataLeft = -1;
    while (fread(head, 1, 8, in) == 8) {
        uint32_t size = Le32(head + 4);
        if (memcmp(head, "fmt ", 4) == 0 && size >= 16) {
            unsigned char fmt[16];
            if (fread(fmt, 1, 16, in) != 16)
                break;
            if (Le16(fmt) != 1 || Le16(fmt + 2) != 1 || Le32(fmt + 4) != 8000 || Le16(fmt + 14) != 16) {
                fclose(in);
                return Fail("the WAV file must be 8000 Hz mono 16-bit PCM: ", inputPath, NULL);
            }
            haveFormat = 1;
            fseek(in, (long)(size - 16 + (size & 1)), SEEK_CUR);
        } else if (memcmp(head, "data", 4) == 0) {
            /* ffmpeg writes 0 or 0xFFFFFFFF when it could not go back and fill the size in. */
            dataLeft = (size == 0 || size == 0xFFFFFFFFu) ? -2 : (long)size;
            break;
        } else {
            fseek(in, (long)(size + (size & 1)), SEEK_CUR);
        }
    }
    if (!haveFormat || dataLeft == -1) {
        fclose(in);
        return Fail("no PCM data in ", inputPath, NULL);
    }

    FILE* out = fopen(outputPath, "wb");
    if (!out) {
        fclose(in);
        return Fail("cannot create ", outputPath, NULL);
    }
    void* encoder = Encoder_Interface_init(0);
    const enum Mode mode = ModeForBitrate(bitrate);
    int ok = fwrite("#!AMR\n", 1, 6, out) == 6;
    short speech[160];
    unsigned char frame[64];
    for (;;) {
        size_t want = sizeof(speech);
        if (dataLeft >= 0 && (long)want > dataLeft)
            want = (size_t)dataLeft;
        size_t got = want ? fread(speech, 1, want, in) : 0;
        if (got == 0)
            break;
        if (dataLeft >= 0)
            dataLeft -= (long)got;
        /* The last frame is filled up with silence. */
        memset((char*)speech + got, 0, sizeof(speech) - got);
        int n = Encoder_Interface_Encode(encoder, mode, speech, frame, 0);
        if (n <= 0 || fwrite(frame, 1, (size_t)n, out) != (size_t)n) {
            ok = 0;
            break;
        }
    }
    Encoder_Interface_exit(encoder);
    fclose(in);
    if (fclose(out) != 0 || !ok)
        return Fail("cannot write ", outputPath, outputPath);
    return 0;
}
