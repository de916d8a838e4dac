"""Every one-line reason and warning the package gives for a recording, in the words of
`tessel analyze` (cli/audio_file.cpp, cli/analyze_command.cpp, cli/frame_size.cpp): the package
cannot call that code, so its texts live here, once, and the tests hold them to the CLI's output
on a hostile set of files."""

INT32_MAX = 2**31 - 1


def no_such_file():
    return "no such file"


def is_a_directory():
    return "is a directory"


def header_rate(rate):
    # The header's field is unsigned; libsndfile keeps it in a signed int.
    rate %= 2**32
    need = "a recording needs a rate above 0" if rate == 0 else \
        "a recording needs a rate below 2147483648 Hz"
    return f"the header gives a sample rate of {rate} Hz; {need}"


def header_channels(channels):
    return f"the header gives {channels} channels"


def no_channels():
    return "no audio channels"


def missing_channel(channels, channel):
    return (f"has {channels} channel{'' if channels == 1 else 's'}, channel {channel} does not "
            "exist (channels count from 0)")


def invalid_rate(rate):
    return f"invalid sample rate {rate}"


def too_long():
    return f"too long: more than {INT32_MAX} samples"


def unsupported_rate(rate, supported):
    rates = ", ".join(map(str, supported))
    return f"sample rate {rate} Hz is not supported; the supported rates are {rates} Hz"


def frame_size_misfit(rate, frame_size):
    return (f"frame size {frame_size} does not fit: at {rate} Hz a frame size must be even, "
            f"between {rate // 100} and {rate // 50}, and make an 8 kHz frame that is a "
            "multiple of 4 samples")


def declared_more_samples(declared, read):
    return (f"the header declares {declared} samples but the file holds {read}; those {read} "
            "were read")


def declared_more_data(chunk, declared, present, read):
    return (f"the header declares more data than the file holds ({chunk} {declared} bytes, "
            f"{present} present); the {read} samples present were read")


def tidy(text):
    """A libsndfile or system text as a one-line reason: no developer prefix, no full stop, a
    lower-case start."""
    prefix = "System error : "
    if text.startswith(prefix):
        text = text[len(prefix):]
    text = text.rstrip(". \n")
    return text[:1].lower() + text[1:] if text else "unreadable"
