#pragma once
// The fuzz targets: each takes any bytes and must neither crash nor trip a sanitizer.
// FuzzMain.cpp makes a libFuzzer program of one; FuzzReplayTest.cpp replays their corpora.

#include <cstddef>
#include <cstdint>

using FuzzBody = void (*)(const std::uint8_t* data, std::size_t size);

void Fuzz_progress_chunk(const std::uint8_t* data, std::size_t size);
void Fuzz_command_template(const std::uint8_t* data, std::size_t size);
void Fuzz_skin_description(const std::uint8_t* data, std::size_t size);
void Fuzz_bitmap_check(const std::uint8_t* data, std::size_t size);
void Fuzz_movenc_arguments(const std::uint8_t* data, std::size_t size);
void Fuzz_ffmpeg_progress(const std::uint8_t* data, std::size_t size);
void Fuzz_container_check(const std::uint8_t* data, std::size_t size);
void Fuzz_pmp_input(const std::uint8_t* data, std::size_t size);
void Fuzz_label_lines(const std::uint8_t* data, std::size_t size);
void Fuzz_message_layout(const std::uint8_t* data, std::size_t size);
void Fuzz_bridge_arguments(const std::uint8_t* data, std::size_t size);

struct FuzzTarget {
    const char* name; // its folder under fuzz/
    FuzzBody body;
};

inline constexpr FuzzTarget fuzzTargets[] = {
    {"progress_chunk", Fuzz_progress_chunk},       {"command_template", Fuzz_command_template},
    {"skin_description", Fuzz_skin_description},   {"bitmap_check", Fuzz_bitmap_check},
    {"movenc_arguments", Fuzz_movenc_arguments},   {"ffmpeg_progress", Fuzz_ffmpeg_progress},
    {"container_check", Fuzz_container_check},     {"pmp_input", Fuzz_pmp_input},
    {"label_lines", Fuzz_label_lines},             {"message_layout", Fuzz_message_layout},
    {"bridge_arguments", Fuzz_bridge_arguments},
};
