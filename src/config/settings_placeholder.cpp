// replaced by the settings code
