"""The version of the quillion package (that of Quillion it belongs to)."""

__version__ = "0.1.0"
