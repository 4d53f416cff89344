# Artwork: `make resources-art` redraws the pictures and the icon into resources/;
# `make contact-sheet` lays them all on $(BUILD)/contact-sheet.png as the program shows them.
.PHONY: resources-art contact-sheet
resources: resources-art

resources-art: deps-build configure
	$(CMAKE) --build $(BUILD) -j $(JOBS) --target morvanite-art-gen
	$(BUILD)/morvanite-art-gen resources

contact-sheet: deps-build configure
	$(CMAKE) --build $(BUILD) -j $(JOBS) --target morvanite-art-sheet
	$(BUILD)/morvanite-art-sheet resources $(BUILD)/contact-sheet.png
	@echo "contact sheet: $(BUILD)/contact-sheet.png"
