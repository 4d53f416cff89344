# `make resources` regenerates the committed artwork and music; each generator adds itself
# as a prerequisite from its own fragment (resources: resources-xyz).
.PHONY: resources
resources:
