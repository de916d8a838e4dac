"""The exceptions of the tessel package."""


class TesselError(Exception):
    """Base of every error this package raises on its own."""


class LibraryNotFoundError(TesselError, OSError):
    """The shared library could not be loaded, or is not a Tessel library."""


class AnalysisError(TesselError):
    """A recording could not be analysed; `reason` is the one-line reason the CLI gives."""

    def __init__(self, path, reason):
        super().__init__(f"{path}: {reason}")
        self.path = path
        self.reason = reason
