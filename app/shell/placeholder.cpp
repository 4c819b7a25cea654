// placeholder until the application lands
